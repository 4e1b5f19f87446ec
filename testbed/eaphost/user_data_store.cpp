#include "user_data_store.h"

namespace {

const wchar_t kStoreKey[] = L"Software\\EapHostTestbed\\UserData\\";

std::wstring TypeKey(DWORD eapType)
{
    return kStoreKey + std::to_wstring(eapType);
}

} // namespace

std::wstring CurrentAccountName()
{
    wchar_t name[257] = {};
    DWORD size = 257;
    if (!GetUserNameW(name, &size))
        return L"default";
    return name;
}

DWORD LoadUserData(const std::wstring& user, DWORD eapType, std::vector<BYTE>* data)
{
    HKEY key = nullptr;
    DWORD status = RegOpenKeyExW(HKEY_CURRENT_USER, TypeKey(eapType).c_str(), 0, KEY_QUERY_VALUE,
                                 &key);
    if (status != ERROR_SUCCESS)
        return status;
    DWORD type = 0, size = 0;
    std::vector<BYTE> bytes;
    status = RegQueryValueExW(key, user.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS)
        goto done;
    if (type != REG_BINARY) {
        status = ERROR_INVALID_DATA;
        goto done;
    }
    bytes.resize(size);
    status = RegQueryValueExW(key, user.c_str(), nullptr, &type, bytes.data(), &size);
    if (status == ERROR_SUCCESS) {
        bytes.resize(size);
        data->swap(bytes);
    }
done:
    RegCloseKey(key);
    return status;
}

DWORD SaveUserData(const std::wstring& user, DWORD eapType, const BYTE* data, DWORD size)
{
    HKEY key = nullptr;
    DWORD status = RegCreateKeyExW(HKEY_CURRENT_USER, TypeKey(eapType).c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExW(key, user.c_str(), 0, REG_BINARY, data, size);
    RegCloseKey(key);
    return status;
}

DWORD EraseUserData(const std::wstring& user, DWORD eapType)
{
    HKEY key = nullptr;
    DWORD status = RegOpenKeyExW(HKEY_CURRENT_USER, TypeKey(eapType).c_str(), 0, KEY_SET_VALUE,
                                 &key);
    if (status == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS)
        return status;
    status = RegDeleteValueW(key, user.c_str());
    if (status == ERROR_FILE_NOT_FOUND)
        status = ERROR_SUCCESS;
    RegCloseKey(key);
    return status;
}
