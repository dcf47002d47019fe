#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// A registry script in the text format of the COM registrar, as servers keep
// it in their "REGISTRY" resources:
//
//     HKCR
//     {
//         My.Thing.1 = s 'My Thing'
//         {
//             CLSID = s '{...}'
//         }
//         NoRemove CLSID
//         {
//             ForceRemove {...} = s 'My Thing'
//             {
//                 InprocServer32 = s '%MODULE%'
//                 {
//                     val ThreadingModel = s 'Both'
//                 }
//             }
//         }
//     }
//
// Roots: HKCR, HKCU, HKLM, HKU (or their HKEY_... names). A key may carry a
// default value ("Key = s 'text'"), named values ("val Name = d '1'") and
// subkeys in braces. Value types: s (REG_SZ) and d (REG_DWORD, decimal or 0x
// hexadecimal). Tokens are separated by blanks; text in single quotes keeps its
// blanks and doubles a quote it contains. %NAME% stands for the caller's
// replacement for NAME, taken literally (a quote in it needs no doubling); %%
// stands for one %.
//
// How keys are treated:
// - plain keys: Install creates or opens them; Remove deletes them with their
//   whole subtree, including what other software added there;
// - NoRemove keys: Install creates or opens them; Remove never deletes them, it
//   deletes the named values the script gives them and works through the keys
//   the script lists below them (none of which it touches when the key itself
//   cannot be opened);
// - ForceRemove keys: Install deletes them with their whole subtree before
//   writing them again, so nothing stale survives; Remove treats them as plain.
//
// The text is parsed once into a tree that Install and Remove walk. Every
// operation reports by HRESULT; nothing throws.
class RegistrarScript {
public:
    using Replacements = std::map<std::string, std::string>;

    // Parses text into script. On failure script is left empty and the result
    // is HRESULT_FROM_WIN32(ERROR_BAD_FORMAT) for a syntax error or an unknown
    // variable, E_OUTOFMEMORY when memory runs out.
    static HRESULT Parse(const std::string& text, const Replacements& replacements,
                         RegistrarScript& script);

    // Writes the keys and values. When a write fails, the removal pass runs at
    // once over the whole script and the write's failure is returned.
    HRESULT Install() const;

    // Writes the keys and values, stopping at the first write that fails and
    // returning its failure; what was written stays, for a caller that undoes
    // it its own way.
    HRESULT Write() const;

    // Deletes what the script wrote. Tries every key; returns the first
    // deletion that failed (a key or value that is already gone is no
    // failure), else S_OK.
    HRESULT Remove() const;

    // Like Remove, but only for the first-level keys called `name` (compared
    // without case) and what the script lists below them; the script's other
    // first-level keys stay as they are.
    HRESULT RemoveWithin(const char* name) const;

private:
    enum class Mark { Plain, NoRemove, ForceRemove };

    struct Value {
        std::string name;  // empty for the key's default value
        DWORD type = REG_SZ;
        std::string text;  // REG_SZ
        DWORD number = 0;  // REG_DWORD
    };

    struct Key {
        std::string name;
        Mark mark = Mark::Plain;
        std::vector<Value> values;
        std::vector<Key> subkeys;
    };

    struct Root {
        HKEY handle = nullptr;
        std::vector<Key> keys;
    };

    class Parser;

    static HRESULT InstallKey(HKEY parent, const Key& key);
    static HRESULT RemoveKey(HKEY parent, const Key& key);
    HRESULT RemoveKeys(const char* onlyName) const;  // all first-level keys for null

    std::vector<Root> roots_;
};
