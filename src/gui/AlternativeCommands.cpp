// The main window's alternatives: "Keep as alternative" keeps the configuration
// on show in the offer, the comparison tab sets the alternatives beside it. The
// alternatives live in the configuration's request (so that its file keeps
// them), each as the keys in which it differs from the main configuration.

#include "TFrmVarnexCfgMain.h"

#include "AlternativeSizing.h"
#include "ComparisonTab.h"
#include "Headless.h"
#include "Lang.h"
#include "Messages.h"
#include "TextUtils.h"
#include "WindowServices.h"

#include <QAction>
#include <QStackedWidget>
#include <QTabWidget>

const THeadlessSession &TFrmVarnexCfgMain::AlternativeSession()
{
    if (!m_alternativeSession)
        m_alternativeSession = std::make_shared<THeadlessSession>(ReadHeadlessSession());
    return *m_alternativeSession;
}

void TFrmVarnexCfgMain::BuildComparisonTab()
{
    tabResultComparison = new TComparisonTab;
    tabResultComparison->SetKeepAction(actKeepAlternative);
    tabResultComparison->AlternativesChanged = [this](const QVector<TAlternative> &alternatives) {
        SetAlternatives(alternatives);
    };
    tabResultComparison->UseAsMain = [this](int index) { UseAlternativeAsMain(index); };
    pageControlResult->addTab(tabResultComparison, QString());
}

void TFrmVarnexCfgMain::FillComparison()
{
    const TComparedConfiguration main{RequestParameters, ResultParameters, m_items, m_sheet,
                                      ConfigurationEnvironment(), CurrentOffer()};
    const TSizedAlternatives sized = SizeRequestAlternatives(m_configurationRequest, AlternativeSession());
    const TComparison comparison = WindowComparison(main, sized);
    m_comparison = sized.Alternatives.isEmpty() ? TComparison() : comparison;
    tabResultComparison->ShowComparison(comparison, sized.Alternatives);
    UpdateKeepAlternative(CurrentPage() == TMainPage::Results);
}

void TFrmVarnexCfgMain::UpdateKeepAlternative(bool resultsOnShow)
{
    if (actKeepAlternative != nullptr)
        actKeepAlternative->setEnabled(resultsOnShow && m_hasConfiguration &&
                                       RequestAlternatives(m_configurationRequest).size() < kMaxAlternatives);
}

void TFrmVarnexCfgMain::actKeepAlternativeExecute()
{
    if (!m_hasConfiguration || CurrentPage() != TMainPage::Results)
        return;
    QVector<TAlternative> alternatives = RequestAlternatives(m_configurationRequest);
    if (alternatives.size() >= kMaxAlternatives) {
        ShowInfo(FormatArgs(LangMessages(QStringLiteral("InfoAlternativesFull")), kMaxAlternatives));
        return;
    }
    // The configuration on show, as it is now: the main configuration's keys,
    // which differ from it in nothing until the main configuration changes.
    alternatives << TAlternative{NextAlternativeLabel(alternatives), QJsonObject()};
    SetAlternatives(alternatives);
    pageControlResult->setCurrentWidget(tabResultComparison);
    tabResultComparison->SelectAlternative(int(alternatives.size()) - 1);
}

void TFrmVarnexCfgMain::SetAlternatives(const QVector<TAlternative> &alternatives)
{
    m_configurationRequest = WithAlternatives(m_configurationRequest, alternatives);
    FillComparison();
    UpdateWindowTitle(); // the alternatives are the configuration's: unsaved until saved
}

void TFrmVarnexCfgMain::UseAlternativeAsMain(int index)
{
    const QJsonObject swapped = SwapWithMain(m_configurationRequest, index);
    // Replayed into copies: an alternative that cannot be sized changes nothing on show.
    TRequestParameters request{};
    TResultParameters result{};
    TConfigurationReplay replay;
    {
        const TWaitCursor wait;
        replay = ReplayConfiguration(swapped, request, result, &AlternativeSession());
    }
    if (!replay.Ok) {
        ShowError(FormatArgs(LangMessages(QStringLiteral("ErrorAlternativeNotSized")),
                             RequestAlternatives(m_configurationRequest).value(index).Label, replay.Message));
        return;
    }
    RequestParameters = request;
    ResultParameters = result;
    m_configurationRequest = WithAlternatives(replay.Request, RequestAlternatives(swapped));
    ShowResults();
    pageControlResult->setCurrentWidget(tabResultComparison);
    tabResultComparison->SelectAlternative(index);
}

QString TFrmVarnexCfgMain::AlternativesFault(const QJsonObject &request)
{
    return SizeRequestAlternatives(request, AlternativeSession()).Message;
}
