#include "AlternativeSizing.h"

#include "Lang.h"
#include "RequestKeys.h"
#include "TextUtils.h"

TSizedAlternatives SizeRequestAlternatives(const QJsonObject &main, const THeadlessSession &session)
{
    TSizedAlternatives sized;
    const QJsonValue value = main.value(RequestKeyName(TRequestKeyId::Alternatives));
    TRefusal refusal;
    if (!value.isUndefined() && !ReadAlternatives(value, sized.Alternatives, refusal)) {
        sized.Ok = false;
        sized.Message = RefusalMessage(refusal, ActiveLanguage());
        return sized;
    }
    for (const TAlternative &a : sized.Alternatives) {
        sized.Sized << SizeConfiguration(MergeAlternative(main, a.Keys), session);
        if (!sized.Sized.last().Ok && sized.Ok) {
            sized.Ok = false;
            sized.Message = FormatArgs(LangMessages(QStringLiteral("ErrorAlternativeNotSized")), a.Label,
                                       sized.Sized.last().Message);
        }
    }
    return sized;
}

TComparison WindowComparison(const TComparedConfiguration &main, const TSizedAlternatives &alternatives)
{
    QStringList labels;
    QList<QStringList> columns;
    for (int i = 0; i < alternatives.Sized.size(); ++i) {
        labels << alternatives.Alternatives[i].Label;
        const TSizedConfiguration &sized = alternatives.Sized[i];
        columns << (sized.Ok ? ComparisonColumn(sized.Configuration) : QStringList{sized.Message});
    }
    return BuildComparison(ComparisonColumn(main), labels, columns);
}
