#include "PinnedCatalogue.h"

// clang-format off
const PinnedBar kPinnedPowerPointToolbar = {
    {-1, "\xDC" "bersetzungsrichtung", "TALVO_QB_DIRECTION", false},
    {-1, "Themenvorlage", "TALVO_QB_SUBJECTTOPIC", false},
    {129, "&Markierte Objekte \xFC" "bersetzen", "TALVO_QB_SLIDE", false},
    {131, "&Pr\xE4sentation \xFC" "bersetzen", "TALVO_QB_ALL", false},
    {130, "Nach &oben \xFC" "bersetzen", "TALVO_QB_UP", false},
    {133, "Nach &unten \xFC" "bersetzen", "TALVO_QB_DOWN", false},
    {140, "Im eigenen &Fenster \xFC" "bersetzen", "TALVO_QB_TOWINDOW", false},
    {141, "&Eintrag \xF6" "ffnen", "TALVO_QB_OPENENTRY", true},
    {142, "Dokument-&W\xF6rterb\xFC" "cher", "TALVO_QB_DICTIONARIES", false},
    {156, "U&nbekannte W\xF6rter", "TALVO_QB_UNKWORDS", false},
    {143, "&Reservierte W\xF6rter", "TALVO_QB_PRESWORDS", false},
    {144, "Als &Themenvorlage speichern", "TALVO_QB_SAVETOPIC", true},
    {145, "Themenvorlagen &bearbeiten", "TALVO_QB_TEMPLATES", false},
    {146, "&Automatische Auswahl der Themenvorlage", "TALVO_QB_AUTO_TEMPLATE", false},
    {147, "\xDC" "bersetzun&gsoptionen", "TALVO_QB_OPTIONS", true},
    {148, "Mar&kierung audieren", "TALVO_QB_SPEAK", false},
    {132, "&Hilfe", "TALVO_QB_HELP", false},
    {136, "&Quillbar aktivieren / deaktivieren ", "TALVO_QB_QUILLBAR", true},
};

const PinnedBar kPinnedPowerPointMenu = {
    {129, "&Markierte Objekte \xFC" "bersetzen", "TALVO_QBM_SLIDE", false},
    {131, "&Pr\xE4sentation \xFC" "bersetzen", "TALVO_QBM_ALL", false},
    {130, "Nach &oben \xFC" "bersetzen", "TALVO_QBM_UP", false},
    {133, "Nach &unten \xFC" "bersetzen", "TALVO_QBM_DOWN", false},
    {140, "Im eigenen &Fenster \xFC" "bersetzen", "TALVO_QBM_TOWINDOW", false},
    {157, "\xDC" "bersetzungsrichtung und Themen&vorlage", "TALVO_QBM_DIR_TOPIC", true},
    {141, "&Eintrag \xF6" "ffnen", "TALVO_QBM_OPENENTRY", true},
    {142, "Dokument-&W\xF6rterb\xFC" "cher", "TALVO_QBM_DICTIONARIES", false},
    {156, "U&nbekannte W\xF6rter", "TALVO_QBM_UNKWORDS", false},
    {143, "&Reservierte W\xF6rter", "TALVO_QBM_PRESWORDS", false},
    {144, "Als &Themenvorlage speichern", "TALVO_QBM_SAVETOPIC", true},
    {145, "Themenvorlagen &bearbeiten", "TALVO_QBM_TEMPLATES", false},
    {146, "&Automatische Auswahl der Themenvorlage", "TALVO_QBM_AUTO_TEMPLATE", false},
    {147, "\xDC" "bersetzun&gsoptionen", "TALVO_QBM_OPTIONS", true},
    {148, "Mar&kierung audieren", "TALVO_QBM_SPEAK", false},
    {132, "&Hilfe", "TALVO_QBM_HELP", false},
    {136, "&Quillbar aktivieren / deaktivieren ", "TALVO_QBM_QUILLBAR", true},
};

const PinnedBar kPinnedFrontPageToolbar = {
    {-1, "\xDC" "bersetzungsrichtung", "TALVO_QB_DIRECTIONS", false},
    {-1, "Themenvorlage", "TALVO_QB_TEMPLATES", false},
    {134, "E&lement \xFC" "bersetzen", "TALVO_QB_TRANSLATE_ELEMENT", false},
    {129, "&Markierung \xFC" "bersetzen", "TALVO_QB_TRANSLATE_SELECTION", false},
    {131, "Se&ite \xFC" "bersetzen", "TALVO_QB_TRANSLATE_ALL", false},
    {140, "Im eigenen &Fenster \xFC" "bersetzen", "TALVO_QB_TRANSLATE_SIMPLE", false},
    {141, "&Eintrag \xF6" "ffnen", "TALVO_QB_ENTRY", true},
    {142, "Dokument-&W\xF6rterb\xFC" "cher", "TALVO_QB_DICTS", false},
    {156, "U&nbekannte W\xF6rter", "TALVO_QB_UW", false},
    {143, "&Reservierte W\xF6rter", "TALVO_QB_PW", false},
    {144, "Als &Themenvorlage speichern", "TALVO_QB_SAVE_TEMPLATE", false},
    {145, "Themenvorlagen &bearbeiten", "TALVO_QB_EDIT_TEMPLATES", false},
    {146, "&Automatische Auswahl der Themenvorlage", "TALVO_QB_AUTO_TEMPLATE", false},
    {147, "\xDC" "bersetzun&gsoptionen", "TALVO_QB_OPTIONS", true},
    {148, "Mar&kierung audieren", "TALVO_QB_SPEAK", false},
    {132, "&Hilfe", "TALVO_QB_HELP", false},
    {136, "&Quillbar aktivieren / deaktivieren ", "TALVO_QB_QUILLBAR", true},
};

const PinnedBar kPinnedFrontPageMenu = {
    {157, "\xDC" "bersetzungsrichtung und Themen&vorlage", "TALVO_QBM_DIR_TOPIC", false},
    {134, "E&lement \xFC" "bersetzen", "TALVO_QBM_TRANSLATE_ELEMENT", true},
    {129, "&Markierung \xFC" "bersetzen", "TALVO_QBM_TRANSLATE_SELECTION", false},
    {131, "Se&ite \xFC" "bersetzen", "TALVO_QBM_TRANSLATE_ALL", false},
    {140, "Im eigenen &Fenster \xFC" "bersetzen", "TALVO_QBM_TRANSLATE_SIMPLE", false},
    {141, "&Eintrag \xF6" "ffnen", "TALVO_QBM_ENTRY", true},
    {142, "Dokument-&W\xF6rterb\xFC" "cher", "TALVO_QBM_DICTS", false},
    {156, "U&nbekannte W\xF6rter", "TALVO_QBM_UW", false},
    {143, "&Reservierte W\xF6rter", "TALVO_QBM_PW", false},
    {144, "Als &Themenvorlage speichern", "TALVO_QBM_SAVE_TEMPLATE", false},
    {145, "Themenvorlagen &bearbeiten", "TALVO_QBM_EDIT_TEMPLATES", false},
    {146, "&Automatische Auswahl der Themenvorlage", "TALVO_QBM_AUTO_TEMPLATE", false},
    {147, "\xDC" "bersetzun&gsoptionen", "TALVO_QBM_OPTIONS", true},
    {148, "Mar&kierung audieren", "TALVO_QBM_SPEAK", false},
    {132, "&Hilfe", "TALVO_QBM_HELP", false},
    {136, "&Quillbar aktivieren / deaktivieren ", "TALVO_QBM_QUILLBAR", true},
};

// clang-format on
