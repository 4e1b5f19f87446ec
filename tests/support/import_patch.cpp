#include "import_patch.h"

#include <gtest/gtest.h>
#include <string.h>

ImportPatch::ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement,
                         bool required)
{
    BYTE* base = (BYTE*)module;
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress);
         d->Name; d++) {
        if (lstrcmpiA((const char*)(base + d->Name), dll) != 0)
            continue;
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            IMAGE_IMPORT_BY_NAME* byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((const char*)byName->Name, function) != 0)
                continue;
            slot_ = (void**)&slots->u1.Function;
            DWORD old;
            VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old);
            original_ = *slot_;
            *slot_ = replacement;
            VirtualProtect(slot_, sizeof(void*), old, &old);
            return;
        }
    }
    if (required)
        ADD_FAILURE() << "import not found: " << dll << "!" << function;
}

ImportPatch::~ImportPatch()
{
    if (!slot_)
        return;
    DWORD old;
    VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old);
    *slot_ = original_;
    VirtualProtect(slot_, sizeof(void*), old, &old);
}
