#pragma once
// The four message boxes, reached through one replaceable service: the program
// installs the window implementation, the headless mode a silent one, tests a
// recording one.

#include <QString>

/// The answers to "save the changes before they are lost?".
enum class TSaveAnswer { Save, Discard, Cancel };

class IMessageService {
public:
    virtual ~IMessageService() = default;
    virtual void ShowError(const QString &text) = 0;   // beeps first
    virtual void ShowWarning(const QString &text) = 0;
    virtual void ShowInfo(const QString &text) = 0;
    virtual bool AskYesNo(const QString &text) = 0;    // true only for Yes
    /// Save, Discard or Cancel; a service without windows cancels, so nothing is lost.
    virtual TSaveAnswer AskSaveChanges(const QString &) { return TSaveAnswer::Cancel; }
};

/// For runs where no window may open: every message is dropped and every
/// question answered No.
class TSilentMessageService : public IMessageService {
public:
    void ShowError(const QString &) override {}
    void ShowWarning(const QString &) override {}
    void ShowInfo(const QString &) override {}
    bool AskYesNo(const QString &) override { return false; }
};

/// Installs `service` (not owned); nullptr restores the default, which writes
/// to standard error and answers No.
void SetMessageService(IMessageService *service);
IMessageService &MessageService();

void ShowError(const QString &text);
void ShowWarning(const QString &text);
void ShowInfo(const QString &text);
bool AskYesNo(const QString &text);
TSaveAnswer AskSaveChanges(const QString &text);
