#pragma once

#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

// Stands in for the translator's automation server (class
// {E9991BC0-DF93-11D3-BEB3-00E0290CDC2F}): while it lives, its class object
// is registered with COM, inside the test process or, as the translator
// itself serves it, as the local server of a program of its own
// (translator_standin.exe), so creating the class finds it. It offers what the context menu relies on: the application interface
// {E9991BC1-...} (dual) whose vtable slot 8 takes a number and slot 9 hands out
// the file-opening object {DB07AEB0-...}, whose slot 8 opens a file and returns
// a document. It records every call in order with its arguments, counts the
// objects alive, and fails the one step it is told to.
class TranslatorStandIn {
public:
    enum class Step {
        None,
        Create,            // the class object's CreateInstance
        Run,               // IRunnableObject::Run, which OleRun calls
        QueryApplication,  // QueryInterface for the application interface
        Start,             // application, slot 8
        GetFileOpener,     // application, slot 9
        NullFileOpener,    // slot 9 succeeds but hands out no object
        OpenFile,          // file-opening object, slot 8
    };
    // What a failing step returns: anything but E_FAIL, so that a test sees
    // the caller's own failure code.
    static constexpr HRESULT kFailure = E_ACCESSDENIED;

    // context: CLSCTX_INPROC_SERVER or CLSCTX_LOCAL_SERVER. With a journal
    // path every call is also appended to that file, a line each.
    explicit TranslatorStandIn(Step failing = Step::None, DWORD context = CLSCTX_INPROC_SERVER,
                               const std::string& journalPath = std::string());
    ~TranslatorStandIn();
    TranslatorStandIn(const TranslatorStandIn&) = delete;
    TranslatorStandIn& operator=(const TranslatorStandIn&) = delete;

    // "create", "run", "query application", "application.8(1)",
    // "application.9", "opener.8(<path>, 0, 0, '', 0)", the path in UTF-8
    std::vector<std::string> Calls() const;
    // Objects of the server still referenced by somebody (class object excluded).
    long LiveObjects() const;
    // Whether an instance was ever asked for.
    bool Created() const;

    // A path as Calls() shows it.
    static std::string AsRecorded(const std::wstring& path);

    struct State;

private:
    std::shared_ptr<State> state_;
    DWORD cookie_ = 0;
};
