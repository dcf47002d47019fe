#include "InstallerFixture.h"

namespace {

ULONG ReferenceCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

}  // namespace

InstallerTest::InstallerTest() : liveAtStart_(standin::DispatchObject::LiveCount())
{
    ClearDispatchIdCache();
}

InstallerTest::~InstallerTest() = default;

std::shared_ptr<standin::ApplicationState> InstallerTest::NewApp(standin::HostKind host,
                                                                const char* version)
{
    auto app = std::make_shared<standin::ApplicationState>(host);
    app->version = version;
    return app;
}

void InstallerTest::MakeCreatable(const std::string& progId,
                                  std::shared_ptr<standin::ApplicationState> app)
{
    auto journal = journal_;
    classes_.push_back(std::make_unique<standin::CreatableClass>(
        progId, [journal, app](REFIID iid, void** object) {
            return standin::MakeApplication(journal, app)->QueryInterface(iid, object);
        }));
    ASSERT_EQ(classes_.back()->Result(), S_OK) << progId;
}

void InstallerTest::MakeCreatableFailing(const std::string& progId, HRESULT result)
{
    classes_.push_back(std::make_unique<standin::CreatableClass>(
        progId, [result](REFIID, void**) { return result; }));
    ASSERT_EQ(classes_.back()->Result(), S_OK) << progId;
}

void InstallerTest::MakeRunning(const std::shared_ptr<standin::ApplicationState>& app)
{
    runningObjects_.push_back(standin::MakeApplication(journal_, app));
    running_.push_back(std::make_unique<standin::RunningObject>(runningObjects_.back().Get()));
    runningReferences_.push_back(ReferenceCount(runningObjects_.back().Get()));
    ASSERT_EQ(running_.back()->Result(), S_OK);
}

std::string InstallerTest::CallText() const
{
    std::string text;
    for (const std::string& call : Calls())
        text += "  " + call + "\n";
    return text;
}

long InstallerTest::LeakedObjects() const
{
    long leaked = standin::DispatchObject::LiveCount() - liveAtStart_ -
                  static_cast<long>(runningObjects_.size());
    for (std::size_t i = 0; i < runningObjects_.size(); ++i)
        leaked += static_cast<long>(ReferenceCount(runningObjects_[i].Get())) -
                  static_cast<long>(runningReferences_[i]);
    return leaked;
}
