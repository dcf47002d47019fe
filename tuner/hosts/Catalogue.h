#pragma once

// What the tuner builds into PowerPoint's and FrontPage's command bars: the
// translation menu (a popup on the host's menu bar) and the toolbar, each
// from a control table. Texts and button faces are resources of the program.

struct ControlDescriptor {
    int bitmapId;    // > 0: a button with this face bitmap; < 0: a drop-down list; 0: end
    int stringId;    // the control's text in the string table
    const char* tag; // how the control is found again
    int beginGroup;  // 1: a group separator goes before the control
};

namespace catalogue {

inline constexpr char kMenuTag[] = "TALVO6_QB_MENU";
inline constexpr char kToolbarName[] = "TALVO6 Quillbar";
inline constexpr int kMenuCaptionString = 48;  // "Überset&zer"

// The add-in's on/off switch, the last control of every table.
inline constexpr char kMenuToggleTag[] = "TALVO_QBM_QUILLBAR";
inline constexpr char kToolbarToggleTag[] = "TALVO_QB_QUILLBAR";

// Each table ends with a row of zeros.
extern const ControlDescriptor kPowerPointToolbar[];
extern const ControlDescriptor kPowerPointMenu[];
extern const ControlDescriptor kFrontPageToolbar[];
extern const ControlDescriptor kFrontPageMenu[];

}  // namespace catalogue
