#include "controls/Rmlibrary_System.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <vector>

#include "platform/StringList.h"

namespace {

struct AddressListDeleter {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

// What the machine's own name resolves to (IPv4 only, as the address is
// written in dotted form), with its canonical name first; nothing when the
// name is not found.
AddressList LookUpThisHost() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return nullptr;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0) return nullptr;
    return AddressList(found);
}

// The parameters the program was started with, after its own name. The
// command line of a process is at most a few megabytes; more is not read.
std::vector<std::string> ProgramParameters() {
    constexpr size_t kLimit = size_t{8} << 20;
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all;
    char piece[4096];
    while (all.size() < kLimit && (in.read(piece, sizeof piece) || in.gcount() > 0))
        all.append(piece, static_cast<size_t>(in.gcount()));
    std::vector<std::string> params;
    for (size_t start = 0; start < all.size();) {
        const size_t end = std::min(all.find('\0', start), all.size());
        params.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    if (!params.empty()) params.erase(params.begin());
    return params;
}

}  // namespace

TWinOSVersion WinOSVersion() { return wosUnknown; }

std::string LocalName() {
    const AddressList host = LookUpThisHost();
    return host && host->ai_canonname ? host->ai_canonname : "";
}

std::string LocalIP() {
    std::string last;
    const AddressList host = LookUpThisHost();
    for (const addrinfo* entry = host.get(); entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || !entry->ai_addr) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text)) last = text;
    }
    return last;
}

namespace thorn {

bool FindSwitchWithParam(std::span<const std::string> params, std::string_view switchName, const TrmCharSet& chars,
                         bool ignoreCase, std::string& param) {
    for (const std::string& candidate : params) {
        if (candidate.empty() || !(chars.Empty() || chars.Contains(candidate.front()))) continue;
        const std::string_view name = std::string_view(candidate).substr(1, switchName.size());
        if (ignoreCase ? CompareText(name, switchName) == 0 : name == switchName) {
            param = candidate.substr(std::min(candidate.size(), 1 + switchName.size()));
            return true;
        }
    }
    param.clear();
    return false;
}

}  // namespace thorn

bool FindCmdLineSwitchWithParam(std::string_view switchName, const TrmCharSet& chars, bool ignoreCase,
                                std::string& param) {
    return thorn::FindSwitchWithParam(ProgramParameters(), switchName, chars, ignoreCase, param);
}
