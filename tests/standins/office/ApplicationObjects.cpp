// The application objects of the five hosts with what hangs from them: the
// COM add-in collection, Word's add-ins list and documents, Outlook's
// namespace, folders and explorers.

#include "OfficeObjects.h"

#include "StandInIids.h"

#include <algorithm>

namespace standin {

namespace {

using std::shared_ptr;

Variant Nothing()
{
    return Variant::Dispatch(nullptr);
}

class ComAddInObject : public DispatchObject {
public:
    ComAddInObject(shared_ptr<Journal> journal, shared_ptr<ApplicationState> application,
                   std::string progId)
        : DispatchObject(std::move(journal), "COMAddIn", {OfficeIids().comAddIn}),
          application_(std::move(application)), progId_(std::move(progId))
    {
        AddProperty("ProgId", [this](const Arguments&) { return Variant::Text(progId_); });
        AddProperty(
            "Connect",
            [this](const Arguments&) { return Variant::Bool(State().connected ? -1 : 0); },
            [this](const Arguments& args) { State().connected = args.Number(0) != 0; });
    }

private:
    std::string Label() const override { return progId_; }
    ComAddInState& State() const
    {
        ComAddInState* state = application_->FindComAddIn(progId_);
        if (!state)
            throw Failure{E_FAIL};
        return *state;
    }

    shared_ptr<ApplicationState> application_;
    std::string progId_;
};

class ComAddInsObject : public DispatchObject {
public:
    ComAddInsObject(shared_ptr<Journal> journal, shared_ptr<ApplicationState> application)
        : DispatchObject(std::move(journal), "COMAddIns", {OfficeIids().comAddIns}),
          application_(std::move(application))
    {
        AddProperty("Count", [this](const Arguments&) {
            return Variant::I4(static_cast<long>(application_->comAddIns.size()));
        });
        AddMethod("Update", [this](const Arguments&) {
            ++application_->comAddInsUpdates;
            return Variant();
        });
        // By ProgID or by position; Office raises for an unknown add-in.
        AddMethod("Item", [this](const Arguments& args) {
            std::string progId;
            if (args.At(0).vt == VT_BSTR) {
                const ComAddInState* state = application_->FindComAddIn(args.Text(0));
                if (!state)
                    throw Failure{E_INVALIDARG};
                progId = state->progId;
            } else {
                const long index = args.Number(0);
                if (index < 1 || index > static_cast<long>(application_->comAddIns.size()))
                    throw Failure{E_INVALIDARG};
                progId = application_->comAddIns[index - 1].progId;
            }
            return ObjectValue(MakeObject<ComAddInObject>(sharedJournal(), application_, progId));
        });
    }

private:
    shared_ptr<ApplicationState> application_;
};

// Word's list of global templates and add-ins.
class WordAddInObject : public DispatchObject {
public:
    WordAddInObject(shared_ptr<Journal> journal, shared_ptr<ApplicationState> application,
                    std::size_t index)
        : DispatchObject(std::move(journal), "AddIn", {OfficeIids().wordAddIn}),
          application_(std::move(application)), name_(application_->wordAddIns.at(index))
    {
        AddProperty("Name", [this](const Arguments&) { return Variant::Text(name_); });
        AddMethod("Delete", [this](const Arguments&) {
            auto& names = application_->wordAddIns;
            const auto found = std::find(names.begin(), names.end(), name_);
            if (found == names.end())
                throw Failure{E_FAIL};
            names.erase(found);
            return Variant();
        });
    }

private:
    std::string Label() const override { return name_; }

    shared_ptr<ApplicationState> application_;
    std::string name_;
};

class WordAddInsObject : public DispatchObject {
public:
    WordAddInsObject(shared_ptr<Journal> journal, shared_ptr<ApplicationState> application)
        : DispatchObject(std::move(journal), "AddIns", {OfficeIids().wordAddIns}),
          application_(std::move(application))
    {
        AddProperty("Count", [this](const Arguments&) {
            return Variant::I4(static_cast<long>(application_->wordAddIns.size()));
        });
        AddMethod("Item", [this](const Arguments& args) {
            const long index = args.Number(0);
            if (index < 1 || index > static_cast<long>(application_->wordAddIns.size()))
                throw Failure{E_INVALIDARG};
            return ObjectValue(MakeObject<WordAddInObject>(sharedJournal(), application_,
                                                           static_cast<std::size_t>(index - 1)));
        });
    }

private:
    shared_ptr<ApplicationState> application_;
};

class DocumentObject : public DispatchObject {
public:
    DocumentObject(shared_ptr<Journal> journal, shared_ptr<ApplicationState> application,
                   shared_ptr<DocumentState> document)
        : DispatchObject(std::move(journal), "Document", {OfficeIids().wordDocument}),
          application_(std::move(application)), document_(std::move(document))
    {
        AddProperty(
            "Saved", [this](const Arguments&) { return Variant::Bool(document_->saved ? -1 : 0); },
            [this](const Arguments& args) { document_->saved = args.Number(0) != 0; });
        // SaveChanges, OriginalFormat, RouteDocument.
        AddMethod("Close", [this](const Arguments&) {
            document_->closed = true;
            auto& documents = application_->documents;
            documents.erase(std::remove(documents.begin(), documents.end(), document_),
                            documents.end());
            return Variant();
        });
    }

private:
    shared_ptr<ApplicationState> application_;
    shared_ptr<DocumentState> document_;
};

class DocumentsObject : public DispatchObject {
public:
    DocumentsObject(shared_ptr<Journal> journal, shared_ptr<ApplicationState> application)
        : DispatchObject(std::move(journal), "Documents", {OfficeIids().wordDocuments}),
          application_(std::move(application))
    {
        AddProperty("Count", [this](const Arguments&) {
            return Variant::I4(static_cast<long>(application_->documents.size()));
        });
        // Template, NewTemplate, DocumentType, Visible.
        AddMethod("Add", [this](const Arguments&) {
            auto document = std::make_shared<DocumentState>();
            application_->documents.push_back(document);
            return ObjectValue(
                MakeObject<DocumentObject>(sharedJournal(), application_, document));
        });
    }

private:
    shared_ptr<ApplicationState> application_;
};

class FolderObject : public DispatchObject {
public:
    FolderObject(shared_ptr<Journal> journal, std::string name)
        : DispatchObject(std::move(journal), "Folder", {OfficeIids().outlookFolder}),
          name_(std::move(name))
    {
        AddProperty("Name", [this](const Arguments&) { return Variant::Text(name_); });
    }
    const std::string& Name() const { return name_; }

private:
    std::string Label() const override { return name_; }
    std::string name_;
};

class NameSpaceObject : public DispatchObject {
public:
    NameSpaceObject(shared_ptr<Journal> journal, shared_ptr<ApplicationState> application)
        : DispatchObject(std::move(journal), "NameSpace", {OfficeIids().outlookNameSpace}),
          application_(std::move(application))
    {
        AddMethod("GetDefaultFolder", [this](const Arguments& args) {
            const long kind = args.Number(0);
            if (kind == 6 && application_->inboxMissing)
                return Nothing();
            const char* name = kind == 6 ? "Inbox" : "Folder";
            return ObjectValue(MakeObject<FolderObject>(sharedJournal(), name));
        });
    }

private:
    shared_ptr<ApplicationState> application_;
};

class ExplorerObject : public DispatchObject {
public:
    ExplorerObject(shared_ptr<Journal> journal, shared_ptr<ApplicationState> application,
                   shared_ptr<ExplorerState> explorer)
        : DispatchObject(std::move(journal), "Explorer", {OfficeIids().outlookExplorer}),
          application_(std::move(application)), explorer_(std::move(explorer))
    {
        AddProperty("CommandBars", [this](const Arguments&) {
            return ObjectValue(MakeCommandBars(sharedJournal(), explorer_->commandBars));
        });
        AddMethod("Activate", [this](const Arguments&) {
            ++explorer_->activations;
            application_->activeExplorer = explorer_;
            return Variant();
        });
        AddMethod("Close", [this](const Arguments&) {
            explorer_->closed = true;
            if (application_->activeExplorer == explorer_)
                application_->activeExplorer.reset();
            return Variant();
        });
    }

private:
    std::string Label() const override { return explorer_->folder; }

    shared_ptr<ApplicationState> application_;
    shared_ptr<ExplorerState> explorer_;
};

class ExplorersObject : public DispatchObject {
public:
    ExplorersObject(shared_ptr<Journal> journal, shared_ptr<ApplicationState> application)
        : DispatchObject(std::move(journal), "Explorers", {OfficeIids().outlookExplorers}),
          application_(std::move(application))
    {
        AddProperty("Count", [this](const Arguments&) {
            return Variant::I4(static_cast<long>(application_->explorers.size()));
        });
        // Folder, DisplayMode. The new explorer shows once it is activated.
        AddMethod("Add", [this](const Arguments& args) {
            if (application_->addedExplorerMissing)
                return Nothing();
            const VARIANT& folder = args.At(0);
            if (folder.vt != VT_DISPATCH || !folder.pdispVal)
                throw Failure{E_INVALIDARG};
            ComPtr<IDispatch> ours;
            if (FAILED(folder.pdispVal->QueryInterface(OfficeIids().outlookFolder,
                                                       ours.PutVoid())))
                throw Failure{E_INVALIDARG};
            const auto* named = dynamic_cast<FolderObject*>(ours.Get());
            auto explorer = std::make_shared<ExplorerState>();
            explorer->folder = named ? named->Name() : "Folder";
            if (application_->newExplorerBars)
                explorer->commandBars = application_->newExplorerBars;
            application_->explorers.push_back(explorer);
            return ObjectValue(MakeObject<ExplorerObject>(sharedJournal(), application_, explorer));
        });
    }

private:
    shared_ptr<ApplicationState> application_;
};

// An Outlook item's own window; nothing of it is used but its presence.
class InspectorObject : public DispatchObject {
public:
    explicit InspectorObject(shared_ptr<Journal> journal)
        : DispatchObject(std::move(journal), "Inspector", {OfficeIids().outlookInspector})
    {
    }
};

const IID& ApplicationIid(HostKind host)
{
    const Iids& iids = OfficeIids();
    switch (host) {
    case HostKind::Word: return iids.wordApplication;
    case HostKind::Excel: return iids.excelApplication;
    case HostKind::PowerPoint: return iids.powerPointApplication;
    case HostKind::FrontPage: return iids.frontPageApplication;
    case HostKind::Outlook: return iids.outlookApplication;
    }
    return iids.wordApplication;
}

class ApplicationObject : public DispatchObject {
public:
    ApplicationObject(shared_ptr<Journal> journal, shared_ptr<ApplicationState> application)
        : DispatchObject(std::move(journal), "Application", {ApplicationIid(application->host)}),
          app_(std::move(application))
    {
        const HostKind host = app_->host;
        // Each host's application interface is its own.
        DeclaredBy(std::string("Application.") + HostName(host));
        AddProperty("COMAddIns", [this](const Arguments&) {
            return ObjectValue(MakeObject<ComAddInsObject>(sharedJournal(), app_));
        });
        if (host != HostKind::FrontPage)
            AddProperty("Version", [this](const Arguments&) { return Variant::Text(app_->version); });
        if (host != HostKind::Excel) {
            AddMethod("Quit", [this](const Arguments&) {
                ++app_->quitCalls;
                CloseWindows();
                return Variant();
            });
        }
        if (app_->commandBars) {
            AddProperty("CommandBars", [this](const Arguments&) {
                return ObjectValue(MakeCommandBars(sharedJournal(), app_->commandBars));
            });
        }
        if (host == HostKind::PowerPoint)
            AddProperty("Visible", [this](const Arguments&) { return Variant::I4(app_->visible ? -1 : 0); });
        if (host == HostKind::Word)
            AddWordMembers();
        if (host == HostKind::Outlook)
            AddOutlookMembers();
    }

private:
    std::string Label() const override { return HostName(app_->host); }

    void AddWordMembers()
    {
        AddProperty("AddIns", [this](const Arguments&) {
            return ObjectValue(MakeObject<WordAddInsObject>(sharedJournal(), app_));
        });
        AddProperty("Documents", [this](const Arguments&) {
            return ObjectValue(MakeObject<DocumentsObject>(sharedJournal(), app_));
        });
        AddProperty(
            "DisplayAlerts", [this](const Arguments&) { return Variant::I4(app_->displayAlerts); },
            [this](const Arguments& args) {
                app_->displayAlerts = args.Number(0);
                app_->displayAlertsPuts.push_back(app_->displayAlerts);
            });
    }

    void AddOutlookMembers()
    {
        AddMethod("ActiveExplorer", [this](const Arguments&) { return ActiveExplorer(); });
        // The topmost Outlook window: the active explorer, else an open item.
        AddMethod("ActiveWindow", [this](const Arguments&) {
            if (HasActiveExplorer() || !app_->inspectorOpen)
                return ActiveExplorer();
            return ObjectValue(MakeObject<InspectorObject>(sharedJournal()));
        });
        AddProperty("Explorers", [this](const Arguments&) {
            return ObjectValue(MakeObject<ExplorersObject>(sharedJournal(), app_));
        });
        AddMethod("GetNamespace", [this](const Arguments& args) {
            if (args.Text(0) != "MAPI")
                throw Failure{E_INVALIDARG};
            return ObjectValue(MakeObject<NameSpaceObject>(sharedJournal(), app_));
        });
    }

    // Quitting closes the windows: Outlook's explorers and item windows.
    void CloseWindows()
    {
        for (const auto& explorer : app_->explorers)
            explorer->closed = true;
        app_->activeExplorer.reset();
        app_->inspectorOpen = false;
    }

    bool HasActiveExplorer() const
    {
        return app_->activeExplorer && !app_->activeExplorer->closed;
    }
    Variant ActiveExplorer() const
    {
        if (!HasActiveExplorer())
            return Nothing();
        return ObjectValue(MakeObject<ExplorerObject>(sharedJournal(), app_, app_->activeExplorer));
    }

    shared_ptr<ApplicationState> app_;
};

// What a process that has gone leaves in the running-object table: COM can
// still hold the entry, but asking it for an application fails.
class StaleEntry : public IUnknown {
public:
    explicit StaleEntry(HRESULT answer) : answer_(answer) {}
    virtual ~StaleEntry() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        for (HostKind host : {HostKind::Word, HostKind::Excel, HostKind::PowerPoint,
                              HostKind::FrontPage, HostKind::Outlook})
            if (iid == ApplicationIid(host) || iid == IID_IDispatch)
                return answer_;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

private:
    HRESULT answer_;
    std::atomic<ULONG> references_{1};
};

}  // namespace

ComPtr<IUnknown> MakeStaleEntry(HRESULT answer)
{
    return ComPtr<IUnknown>(new StaleEntry(answer));
}

ComPtr<IDispatch> MakeApplication(shared_ptr<Journal> journal,
                                  shared_ptr<ApplicationState> application)
{
    return MakeObject<ApplicationObject>(std::move(journal), std::move(application));
}

}  // namespace standin
