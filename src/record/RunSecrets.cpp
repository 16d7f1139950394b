#include "record/RunSecrets.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "common/BoundedCopy.h"
#include "platform/Platform.h"

namespace {

// A password as the program holds it (ANSI) and as the run log holds its
// text (UTF-8): up to three bytes for each character of a code page.
struct Secret {
    char ansi[kPathSize];
    char utf8[kPathSize * 3];
};

Secret g_secrets[kRunSecretSlots] = {};
size_t g_next = 0;
// The worker of a run and the dialog's thread both write.
std::mutex g_lock;

bool IsKept(const char* ansi) {
    for (const Secret& secret : g_secrets) {
        if (std::strcmp(secret.ansi, ansi) == 0) {
            return true;
        }
    }
    return false;
}

// The forms to look for, the longest first.
std::vector<std::pair<const char*, size_t>> Forms() {
    std::vector<std::pair<const char*, size_t>> forms;
    for (const Secret& secret : g_secrets) {
        for (const char* form : {secret.ansi, secret.utf8}) {
            if (form[0] != '\0') {
                forms.emplace_back(form, std::strlen(form));
            }
        }
    }
    std::stable_sort(forms.begin(), forms.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    return forms;
}

} // namespace

void RegisterRunSecret(const char* secret, size_t maxLength) {
    if (secret == nullptr || secret[0] == '\0' || maxLength == 0) {
        return;
    }
    char ansi[kPathSize] = {};
    CopyBounded(ansi, sizeof ansi, secret, maxLength);
    std::string utf8 = PlatformAnsiToUtf8(ansi);
    {
        const std::lock_guard<std::mutex> hold(g_lock);
        if (!IsKept(ansi)) {
            Secret& slot = g_secrets[g_next];
            g_next = (g_next + 1) % kRunSecretSlots;
            PlatformSecureZero(&slot, sizeof slot);
            CopyField(slot.ansi, ansi);
            CopyField(slot.utf8, utf8.c_str());
        }
    }
    PlatformSecureZero(ansi, sizeof ansi);
    PlatformSecureZero(&utf8[0], utf8.size());
}

std::string MaskRunSecrets(const char* text) {
    const std::lock_guard<std::mutex> hold(g_lock);
    const auto forms = Forms();
    if (forms.empty()) {
        return text;
    }
    std::string masked;
    // One pass from left to right: a mask put in is never looked at again,
    // so a password such as "*" cannot feed on its own masks.
    for (const char* at = text; *at != '\0';) {
        const auto match = std::find_if(forms.begin(), forms.end(), [at](const auto& form) {
            return std::strncmp(at, form.first, form.second) == 0;
        });
        if (match != forms.end()) {
            masked += "***";
            at += match->second;
        } else {
            masked += *at++;
        }
    }
    return masked;
}

void ClearRunSecrets() {
    const std::lock_guard<std::mutex> hold(g_lock);
    PlatformSecureZero(g_secrets, sizeof g_secrets);
    g_next = 0;
}
