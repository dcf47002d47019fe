#include "ImageHeaders.h"

#include "ScratchFolder.h"

#include <cstring>

namespace {

// Bounds-checked reads from the file's bytes.
class Bytes {
public:
    explicit Bytes(std::string data) : data_(std::move(data)) {}

    bool Has(size_t offset, size_t size) const
    {
        return offset <= data_.size() && size <= data_.size() - offset;
    }
    template <typename Value>
    Value At(size_t offset) const
    {
        Value value{};
        if (Has(offset, sizeof value))
            std::memcpy(&value, data_.data() + offset, sizeof value);
        else
            broken_ = true;
        return value;
    }
    std::string TextAt(size_t offset) const
    {
        if (!Has(offset, 1)) {
            broken_ = true;
            return std::string();
        }
        const size_t end = data_.find('\0', offset);
        if (end == std::string::npos) {
            broken_ = true;
            return std::string();
        }
        return data_.substr(offset, end - offset);
    }
    bool Broken() const { return broken_; }

private:
    std::string data_;
    mutable bool broken_ = false;
};

struct Section {
    DWORD virtualAddress, virtualSize, rawOffset, rawSize;
};

class Image {
public:
    explicit Image(const std::string& path) : bytes_(ReadWholeFile(path)) {}

    ImageHeaders Read()
    {
        ImageHeaders headers;
        if (bytes_.At<WORD>(0) != IMAGE_DOS_SIGNATURE)
            return headers;
        const DWORD pe = bytes_.At<DWORD>(0x3C);
        if (bytes_.At<DWORD>(pe) != IMAGE_NT_SIGNATURE)
            return headers;
        headers.machine = bytes_.At<WORD>(pe + 4);
        const WORD sectionCount = bytes_.At<WORD>(pe + 6);
        const WORD optionalSize = bytes_.At<WORD>(pe + 20);
        const size_t optional = pe + 24;
        const WORD magic = bytes_.At<WORD>(optional);
        if (magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC && magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
            return headers;
        wide_ = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
        // The same offsets in both: PE32+ has no BaseOfData, its ImageBase is
        // four bytes longer.
        headers.subsystemMajor = bytes_.At<WORD>(optional + 48);
        headers.subsystemMinor = bytes_.At<WORD>(optional + 50);
        const size_t directories = optional + (wide_ ? 112 : 96);
        const DWORD directoryCount = bytes_.At<DWORD>(directories - 4);

        const size_t table = optional + optionalSize;
        for (WORD i = 0; i < sectionCount; ++i) {
            const size_t at = table + i * sizeof(IMAGE_SECTION_HEADER);
            sections_.push_back({bytes_.At<DWORD>(at + 12), bytes_.At<DWORD>(at + 8),
                                 bytes_.At<DWORD>(at + 20), bytes_.At<DWORD>(at + 16)});
        }
        if (directoryCount > IMAGE_DIRECTORY_ENTRY_IMPORT)
            ReadImports(bytes_.At<DWORD>(directories + 8 * IMAGE_DIRECTORY_ENTRY_IMPORT),
                        sizeof(IMAGE_IMPORT_DESCRIPTOR), 12, 0, 16, headers.imports);
        // A delay-load descriptor: attributes, name, module handle, address
        // table, name table, ... (all relative addresses).
        if (directoryCount > IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT)
            ReadImports(bytes_.At<DWORD>(directories + 8 * IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT),
                        32, 4, 16, 12, headers.imports);
        headers.valid = !bytes_.Broken() && !broken_;
        return headers;
    }

private:
    size_t OffsetOf(DWORD rva)
    {
        for (const Section& section : sections_) {
            const DWORD size = section.virtualSize ? section.virtualSize : section.rawSize;
            if (rva >= section.virtualAddress && rva - section.virtualAddress < size &&
                rva - section.virtualAddress < section.rawSize)
                return section.rawOffset + (rva - section.virtualAddress);
        }
        broken_ = true;
        return 0;
    }

    // Descriptors of `size` bytes up to an empty one: the library's name at
    // nameAt, the thunks to read at namesAt (0 or empty: those at addressesAt).
    void ReadImports(DWORD rva, size_t size, size_t nameAt, size_t namesAt, size_t addressesAt,
                     std::vector<ImportedFunction>& imports)
    {
        if (!rva)
            return;
        for (size_t descriptor = OffsetOf(rva); !broken_ && !bytes_.Broken();
             descriptor += size) {
            const DWORD name = bytes_.At<DWORD>(descriptor + nameAt);
            if (!name)
                return;
            const std::string library = bytes_.TextAt(OffsetOf(name));
            DWORD thunks = namesAt ? bytes_.At<DWORD>(descriptor + namesAt) : 0;
            if (!thunks)
                thunks = bytes_.At<DWORD>(descriptor + addressesAt);
            const size_t step = wide_ ? 8 : 4;
            for (size_t thunk = OffsetOf(thunks); !broken_ && !bytes_.Broken(); thunk += step) {
                const ULONGLONG entry =
                    wide_ ? bytes_.At<ULONGLONG>(thunk) : bytes_.At<DWORD>(thunk);
                if (!entry)
                    break;
                const ULONGLONG byOrdinal = wide_ ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
                if (entry & byOrdinal)
                    imports.push_back({library, std::string(), static_cast<WORD>(entry & 0xFFFF)});
                else
                    imports.push_back(
                        {library, bytes_.TextAt(OffsetOf(static_cast<DWORD>(entry)) + 2), 0});
            }
        }
    }

    Bytes bytes_;
    bool wide_ = false;
    bool broken_ = false;
    std::vector<Section> sections_;
};

}  // namespace

ImageHeaders ReadImageHeaders(const std::string& path)
{
    return Image(path).Read();
}
