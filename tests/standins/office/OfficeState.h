#pragma once

// The state of stand-in Office applications: plain data that tests arrange
// before a run and read afterwards. The COM objects of the stand-in are thin
// views onto it, made when a client asks for them and gone when it lets go.

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace standin {

enum class HostKind { Word, Excel, PowerPoint, FrontPage, Outlook };

struct CommandBarState;

// A bitmap as 32-bit pixels, top row first.
struct BitmapPixels {
    long width = 0;
    long height = 0;
    std::vector<std::uint32_t> pixels;
    bool empty() const { return pixels.empty(); }
    bool operator==(const BitmapPixels& other) const
    {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

struct ControlState {
    long type = 1;  // 1 button, 3 drop-down, 10 popup
    std::string tag;
    std::string caption;
    std::string description;
    bool beginGroup = false;
    long width = 0;
    long dropDownWidth = 0;
    long state = 0;  // buttons: -1 pressed
    BitmapPixels face;  // pasted from the clipboard
    std::shared_ptr<CommandBarState> popupBar;  // popups only
};

struct CommandBarState {
    std::string name;
    bool menuBar = false;
    bool builtIn = false;
    bool visible = false;
    long protection = 0;
    long position = 0;
    std::vector<std::shared_ptr<ControlState>> controls;
};

struct CommandBarsState {
    std::vector<std::shared_ptr<CommandBarState>> bars;
    std::shared_ptr<CommandBarState> activeMenuBar;  // null: none

    // A built-in menu bar with `menuCount` popups and a built-in toolbar.
    static std::shared_ptr<CommandBarsState> Typical(int menuCount = 3);
    std::shared_ptr<CommandBarState> AddToolbar(const std::string& name);
};

struct ComAddInState {
    std::string progId;
    bool connected = false;
};

struct DocumentState {
    bool saved = false;
    bool closed = false;
};

struct ExplorerState {
    std::string folder;
    std::shared_ptr<CommandBarsState> commandBars = CommandBarsState::Typical();
    bool closed = false;
    int activations = 0;
};

struct ApplicationState {
    explicit ApplicationState(HostKind kind);

    HostKind host;
    std::string version = "10.0";
    bool visible = false;
    int quitCalls = 0;
    long displayAlerts = -1;  // Word
    std::vector<long> displayAlertsPuts;

    std::shared_ptr<CommandBarsState> commandBars;  // not Excel, not Outlook
    std::vector<ComAddInState> comAddIns;
    int comAddInsUpdates = 0;

    std::vector<std::string> wordAddIns;  // Word's global templates and add-ins, by name
    std::vector<std::shared_ptr<DocumentState>> documents;

    std::vector<std::shared_ptr<ExplorerState>> explorers;  // Outlook
    std::shared_ptr<ExplorerState> activeExplorer;
    bool inspectorOpen = false;  // Outlook: an item's window, which is no explorer
    // Outlook: the command bars an explorer added later shows (null: a typical set).
    std::shared_ptr<CommandBarsState> newExplorerBars;
    // Outlook: the default Inbox is missing (GetDefaultFolder answers Nothing),
    // and Explorers.Add answers Nothing instead of a new explorer.
    bool inboxMissing = false;
    bool addedExplorerMissing = false;

    ComAddInState* FindComAddIn(const std::string& progId);
    std::shared_ptr<ExplorerState> OpenExplorer(const std::string& folder);
};

const char* HostName(HostKind kind);

// The state as a readable, diffable tree: one line per bar and control.
std::string Describe(const CommandBarState& bar);
std::string Describe(const ApplicationState& application);
void DescribeControls(std::ostringstream& out, const CommandBarState& bar, const std::string& indent);

}  // namespace standin
