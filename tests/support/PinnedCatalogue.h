#pragma once

// The menus and toolbars the tuner builds into PowerPoint and FrontPage, row
// by row as users must see them: kind and face, caption (code page 1252),
// tag and separator. Written out here once, for every test that checks a
// build, so that a wrong row in the product's own tables shows.

#include <vector>

struct PinnedControl {
    int face;  // the face bitmap's resource id; -1 for a drop-down list
    const char* caption;
    const char* tag;
    bool beginGroup;
};

using PinnedBar = std::vector<PinnedControl>;

extern const PinnedBar kPinnedPowerPointToolbar;
extern const PinnedBar kPinnedPowerPointMenu;
extern const PinnedBar kPinnedFrontPageToolbar;
extern const PinnedBar kPinnedFrontPageMenu;
