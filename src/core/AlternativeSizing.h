#pragma once
// The alternatives of the configuration on show, sized for the window's
// comparison by the same replay as the answers, in the active language.

#include "Alternatives.h"
#include "Headless.h"

struct TSizedAlternatives {
    bool Ok = true;
    QString Message; // the first that cannot be read or sized, in the active language
    QVector<TAlternative> Alternatives;
    QList<TSizedConfiguration> Sized; // one per alternative
};

/// Sizes every alternative `main` holds, each as `main` with its keys put over it.
TSizedAlternatives SizeRequestAlternatives(const QJsonObject &main, const THeadlessSession &session);

/// The comparison of the main configuration with the alternatives; an
/// alternative that cannot be sized shows why in its column.
TComparison WindowComparison(const TComparedConfiguration &main, const TSizedAlternatives &alternatives);
