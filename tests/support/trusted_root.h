// Trusted roots in the local computer's ROOT store for the tests that look certificates up,
// and text conversion for messages.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <string>

// A self-signed certificate with this common name in the local computer's ROOT store while
// the object lives.
class TrustedRoot {
public:
    explicit TrustedRoot(const std::wstring& commonName);
    ~TrustedRoot();
    TrustedRoot(const TrustedRoot&) = delete;
    TrustedRoot& operator=(const TrustedRoot&) = delete;
    const BYTE* Thumbprint() const { return thumbprint_; }
    std::string ThumbprintHex() const;

private:
    bool added_ = false;
    BYTE thumbprint_[20] = {};
};

// Removes every trusted root whose subject contains namePart (left over by a run that died).
void RemoveTrustedRoots(const wchar_t* namePart);

// Whether a comes before b in the machine's trusted roots.
bool ComesFirstInRootStore(const TrustedRoot& a, const TrustedRoot& b);
