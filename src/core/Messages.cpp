#include "Messages.h"

#include <cstdio>

namespace {

// Without windows the boxes go to standard error and every question is answered No.
class TStandardErrorMessageService : public IMessageService {
public:
    void ShowError(const QString &text) override { Write("Error", text); }
    void ShowWarning(const QString &text) override { Write("Warning", text); }
    void ShowInfo(const QString &text) override { Write("Information", text); }
    bool AskYesNo(const QString &text) override
    {
        Write("Confirm", text);
        return false;
    }
    TSaveAnswer AskSaveChanges(const QString &text) override
    {
        Write("Confirm", text);
        return TSaveAnswer::Cancel;
    }

private:
    static void Write(const char *kind, const QString &text)
    {
        std::fprintf(stderr, "%s: %s\n", kind, text.toLocal8Bit().constData());
        std::fflush(stderr);
    }
};

TStandardErrorMessageService g_defaultService;
IMessageService *g_service = nullptr;

} // namespace

void SetMessageService(IMessageService *service) { g_service = service; }

IMessageService &MessageService() { return g_service ? *g_service : g_defaultService; }

void ShowError(const QString &text) { MessageService().ShowError(text); }
void ShowWarning(const QString &text) { MessageService().ShowWarning(text); }
void ShowInfo(const QString &text) { MessageService().ShowInfo(text); }
bool AskYesNo(const QString &text) { return MessageService().AskYesNo(text); }
TSaveAnswer AskSaveChanges(const QString &text) { return MessageService().AskSaveChanges(text); }
