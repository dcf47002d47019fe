#include "Catalogue.h"

namespace catalogue {

constexpr int kDropDown = -1;

const ControlDescriptor kPowerPointToolbar[] = {
    {kDropDown, 1, "TALVO_QB_DIRECTION", 0},
    {kDropDown, 2, "TALVO_QB_SUBJECTTOPIC", 0},
    {129, 3, "TALVO_QB_SLIDE", 0},
    {131, 18, "TALVO_QB_ALL", 0},
    {130, 16, "TALVO_QB_UP", 0},
    {133, 17, "TALVO_QB_DOWN", 0},
    {140, 4, "TALVO_QB_TOWINDOW", 0},
    {141, 5, "TALVO_QB_OPENENTRY", 1},
    {142, 6, "TALVO_QB_DICTIONARIES", 0},
    {156, 7, "TALVO_QB_UNKWORDS", 0},
    {143, 8, "TALVO_QB_PRESWORDS", 0},
    {144, 9, "TALVO_QB_SAVETOPIC", 1},
    {145, 10, "TALVO_QB_TEMPLATES", 0},
    {146, 11, "TALVO_QB_AUTO_TEMPLATE", 0},
    {147, 12, "TALVO_QB_OPTIONS", 1},
    {148, 13, "TALVO_QB_SPEAK", 0},
    {132, 14, "TALVO_QB_HELP", 0},
    {136, 22, "TALVO_QB_QUILLBAR", 1},
    {0, 0, nullptr, 0},
};

const ControlDescriptor kPowerPointMenu[] = {
    {129, 3, "TALVO_QBM_SLIDE", 0},
    {131, 18, "TALVO_QBM_ALL", 0},
    {130, 16, "TALVO_QBM_UP", 0},
    {133, 17, "TALVO_QBM_DOWN", 0},
    {140, 4, "TALVO_QBM_TOWINDOW", 0},
    {157, 15, "TALVO_QBM_DIR_TOPIC", 1},
    {141, 5, "TALVO_QBM_OPENENTRY", 1},
    {142, 6, "TALVO_QBM_DICTIONARIES", 0},
    {156, 7, "TALVO_QBM_UNKWORDS", 0},
    {143, 8, "TALVO_QBM_PRESWORDS", 0},
    {144, 9, "TALVO_QBM_SAVETOPIC", 1},
    {145, 10, "TALVO_QBM_TEMPLATES", 0},
    {146, 11, "TALVO_QBM_AUTO_TEMPLATE", 0},
    {147, 12, "TALVO_QBM_OPTIONS", 1},
    {148, 13, "TALVO_QBM_SPEAK", 0},
    {132, 14, "TALVO_QBM_HELP", 0},
    {136, 22, "TALVO_QBM_QUILLBAR", 1},
    {0, 0, nullptr, 0},
};

const ControlDescriptor kFrontPageToolbar[] = {
    {kDropDown, 1, "TALVO_QB_DIRECTIONS", 0},
    {kDropDown, 2, "TALVO_QB_TEMPLATES", 0},
    {134, 19, "TALVO_QB_TRANSLATE_ELEMENT", 0},
    {129, 20, "TALVO_QB_TRANSLATE_SELECTION", 0},
    {131, 21, "TALVO_QB_TRANSLATE_ALL", 0},
    {140, 4, "TALVO_QB_TRANSLATE_SIMPLE", 0},
    {141, 5, "TALVO_QB_ENTRY", 1},
    {142, 6, "TALVO_QB_DICTS", 0},
    {156, 7, "TALVO_QB_UW", 0},
    {143, 8, "TALVO_QB_PW", 0},
    {144, 9, "TALVO_QB_SAVE_TEMPLATE", 0},
    {145, 10, "TALVO_QB_EDIT_TEMPLATES", 0},
    {146, 11, "TALVO_QB_AUTO_TEMPLATE", 0},
    {147, 12, "TALVO_QB_OPTIONS", 1},
    {148, 13, "TALVO_QB_SPEAK", 0},
    {132, 14, "TALVO_QB_HELP", 0},
    {136, 22, "TALVO_QB_QUILLBAR", 1},
    {0, 0, nullptr, 0},
};

const ControlDescriptor kFrontPageMenu[] = {
    {157, 15, "TALVO_QBM_DIR_TOPIC", 0},
    {134, 19, "TALVO_QBM_TRANSLATE_ELEMENT", 1},
    {129, 20, "TALVO_QBM_TRANSLATE_SELECTION", 0},
    {131, 21, "TALVO_QBM_TRANSLATE_ALL", 0},
    {140, 4, "TALVO_QBM_TRANSLATE_SIMPLE", 0},
    {141, 5, "TALVO_QBM_ENTRY", 1},
    {142, 6, "TALVO_QBM_DICTS", 0},
    {156, 7, "TALVO_QBM_UW", 0},
    {143, 8, "TALVO_QBM_PW", 0},
    {144, 9, "TALVO_QBM_SAVE_TEMPLATE", 0},
    {145, 10, "TALVO_QBM_EDIT_TEMPLATES", 0},
    {146, 11, "TALVO_QBM_AUTO_TEMPLATE", 0},
    {147, 12, "TALVO_QBM_OPTIONS", 1},
    {148, 13, "TALVO_QBM_SPEAK", 0},
    {132, 14, "TALVO_QBM_HELP", 0},
    {136, 22, "TALVO_QBM_QUILLBAR", 1},
    {0, 0, nullptr, 0},
};

}  // namespace catalogue
