#include "PalmPdbReader.h"

#include <array>
#include <cstdio>
#include <memory>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>

namespace thorn::test {
namespace {

// One line per field, then one line per resource: type, id, hex bytes.
constexpr const char* kScript = R"PERL(
use strict;
use Palm::PDB;
use Palm::Raw;
Palm::PDB::RegisterPRCHandlers("Palm::Raw", "");
my $pdb = Palm::PDB->new;
$pdb->Load($ENV{THORN_PDB_FILE});
my $res = ($pdb->{attributes}{resource} || $pdb->{attributes}{ResDB}) ? 1 : 0;
print "name $pdb->{name}\n";
print "type $pdb->{type}\n";
print "creator $pdb->{creator}\n";
print "resource $res\n";
print "version $pdb->{version}\n";
print "ctime $pdb->{ctime}\n";
print "mtime $pdb->{mtime}\n";
print "count ", scalar(@{$pdb->{resources} || []}), "\n";
foreach my $r (@{$pdb->{resources}}) {
    print "res $r->{type} $r->{id} ", length($r->{data}), " ", unpack("H*", $r->{data}), "\n";
}
)PERL";

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

}  // namespace

PalmDatabase ReadWithPalmPdb(const std::filesystem::path& file) {
    // The script travels as one argument and the file name in the environment,
    // so no shell quoting is involved beyond the script's own quotes.
    std::string script = kScript;
    std::string command = "perl -e '" + script + "' 2>&1";
    setenv("THORN_PDB_FILE", file.c_str(), 1);
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("cannot start perl");
    std::string output;
    std::array<char, 65536> buffer{};
    size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), got);
    const int status = pclose(pipe);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("Palm::PDB could not read " + file.string() + ":\n" + output);

    PalmDatabase db;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        std::string rest = line.size() > key.size() ? line.substr(key.size() + 1) : "";
        if (key == "name") db.name = rest;
        else if (key == "type") db.type = rest;
        else if (key == "creator") db.creator = rest;
        else if (key == "resource") db.resourceDatabase = rest == "1";
        else if (key == "version") db.version = std::stoi(rest);
        else if (key == "ctime") db.created = std::stoll(rest);
        else if (key == "mtime") db.modified = std::stoll(rest);
        else if (key == "res") {
            PalmResource r;
            size_t size = 0;
            std::string hex;
            fields >> r.type >> r.id >> size >> hex;
            r.data = FromHex(hex);
            if (r.data.size() != size) throw std::runtime_error("Palm::PDB output garbled");
            db.resources.push_back(std::move(r));
        }
    }
    return db;
}

}  // namespace thorn::test
