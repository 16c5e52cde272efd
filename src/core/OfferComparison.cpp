// The offer documents' comparison page: the alternatives beside the main configuration.

#include "OfferDocument.h"

#include "Lang.h"
#include "TextCodec.h"

void AddComparisonBlock(TOfferDocument &doc, const TComparison &comparison)
{
    if (comparison.IsEmpty())
        return;
    doc.ComparisonHeading = TrimBlanksAndControls(LangMain(QStringLiteral("ResultsComparisonTabTitle")));
    doc.Comparison = TDocTable();
    doc.Comparison.Headings = comparison.Headings;
    doc.Comparison.Rows = comparison.Rows;
    doc.Comparison.Align = QVector<TDocAlign>(comparison.Headings.size(), TDocAlign::Left);
}
