#pragma once
// The C libraries the program needs only for some of its work (downloads, the
// price list, Word documents) are opened the first time they are needed, not
// linked: loading them with everything they link in turn (TLS, Kerberos,
// crypto) took longer than building the whole window. Each user keeps a table
// of the functions it calls, filled once by name.

#include <QFunctionPointer>
#include <QString>

class QLibrary;

/// Says on standard error that the library cannot be used, and why.
void ReportLateLibraryMissing(const char *fileName, const QString &reason);

/// One library opened by its file name ("libcurl.so.4"), never unloaded.
class TLateLibrary {
public:
    explicit TLateLibrary(const char *fileName);
    ~TLateLibrary();
    TLateLibrary(const TLateLibrary &) = delete;
    TLateLibrary &operator=(const TLateLibrary &) = delete;

    /// Opens the library; false with the loader's reason.
    bool Open();
    /// The function `name`, or null (the reason in Error()).
    QFunctionPointer Function(const char *name);
    const QString &Error() const { return m_error; }

    /// Fills `pointer` with the function `name` of its declared type; false when missing.
    template <typename F> bool Bind(F &pointer, const char *name)
    {
        pointer = reinterpret_cast<F>(Function(name));
        return pointer != nullptr;
    }

private:
    QLibrary *m_library;
    QString m_error;
};

/// The function table `TApi` of the library `fileName`, filled at the first call
/// (from any thread) and kept. TApi has `bool Bind(TLateLibrary &)`, which takes
/// its functions, and `bool Ok` and `QString Error`, which tell how that went.
template <typename TApi> const TApi &LateFunctions(const char *fileName)
{
    static const TApi api = [fileName] {
        TApi functions;
        TLateLibrary library(fileName);
        functions.Ok = functions.Bind(library);
        functions.Error = library.Error();
        if (!functions.Ok)
            ReportLateLibraryMissing(fileName, functions.Error);
        return functions;
    }();
    return api;
}
