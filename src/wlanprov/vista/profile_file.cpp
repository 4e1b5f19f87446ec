#include "profile_file.h"

#include <cstdio>
#include <cstdlib>

#include "../common/last_error.h"
#include "../common/secret_wipe.h"
#include "vista_grammar.h"

DWORD SaveProfileDocument(const wchar_t* path, const wchar_t* document)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    char* text = nullptr;
    DWORD written = 0, result = 0;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, document, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        result = ERROR_NO_UNICODE_TRANSLATION;
        goto done;
    }
    text = static_cast<char*>(malloc((size_t)bytes));
    if (!text) {
        result = ERROR_NOT_ENOUGH_MEMORY;
        goto done;
    }
    // The document holds the key in clear, as the profile set on an interface would.
    if (WideCharToMultiByte(CP_UTF8, 0, document, -1, text, bytes, nullptr, nullptr) != bytes) {
        result = ERROR_NO_UNICODE_TRANSLATION;
        goto done;
    }
    file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        result = LastErrorOr(ERROR_OPEN_FAILED);
        goto done;
    }
    // Without the terminator.
    if (!WriteFile(file, text, (DWORD)bytes - 1, &written, nullptr))
        result = LastErrorOr(ERROR_WRITE_FAULT);
    else if (written != (DWORD)bytes - 1)
        result = ERROR_WRITE_FAULT;

done:
    if (file != INVALID_HANDLE_VALUE) {
        if (!CloseHandle(file) && result == 0)
            result = LastErrorOr(ERROR_WRITE_FAULT);
        // A file cut short would hold part of the key and no profile.
        if (result != 0)
            DeleteFileW(path);
    }
    if (text)
        FreeSecret(text, (size_t)bytes);
    if (result == 0)
        printf("%s :: the profile is written to %ls\n", kVistaAddName, path);
    else
        printf("%s :: ERROR!! the profile could not be written to %ls: %ld\n", kVistaAddName, path,
               (long)result);
    return result;
}
