// Import table patching: a module's call of one imported function goes to a replacement.
#pragma once

#include <windows.h>

// Replaces one imported function in a module's import table while it lives. A function the
// module does not import is a test failure, unless required is false.
class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement,
                bool required = true);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    bool Installed() const { return slot_ != nullptr; }
    void* Original() const { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};
