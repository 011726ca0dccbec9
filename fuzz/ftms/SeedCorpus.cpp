// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

// Writes the seed corpora of the FTMS fuzz targets from the captured values of real machines:
// one raw file per value, in one directory per characteristic.
//
//   ftms_seed_corpus <ftms-captures.tsv> <output directory>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::map<std::string, std::string> folderOfCharacteristic{
    {"0x2AD2", "bike"},         {"0x2AD1", "rower"},    {"0x2ACD", "treadmill"},
    {"0x2ACE", "crossTrainer"}, {"0x2ACC", "features"},
};

bool parseHex(const std::string& text, std::vector<unsigned char>& bytes) {
    std::istringstream in(text);
    std::string pair;
    while (in >> pair) {
        if (pair.size() != 2) {
            return false;
        }
        try {
            bytes.push_back(static_cast<unsigned char>(std::stoul(pair, nullptr, 16)));
        } catch (const std::exception&) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CAPTURES_TSV OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    std::ifstream captures(argv[1]);
    if (!captures) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const std::filesystem::path output(argv[2]);
    for (const auto& [uuid, folder] : folderOfCharacteristic) {
        std::filesystem::create_directories(output / folder);
        // The empty value is a seed of its own for every decoder.
        std::ofstream(output / folder / "empty", std::ios::binary);
    }

    std::string line;
    int lineNumber = 0;
    int written = 0;
    while (std::getline(captures, line)) {
        ++lineNumber;
        if (lineNumber == 1) {
            continue; // header
        }
        std::istringstream columns(line);
        std::string uuid;
        std::string hex;
        std::getline(columns, uuid, '\t');
        std::getline(columns, hex, '\t');
        const auto folder = folderOfCharacteristic.find(uuid);
        std::vector<unsigned char> bytes;
        if (folder == folderOfCharacteristic.end() || !parseHex(hex, bytes)) {
            std::fprintf(stderr, "%s:%d: not a capture line\n", argv[1], lineNumber);
            return 1;
        }
        std::ofstream out(output / folder->second / ("line-" + std::to_string(lineNumber)),
                          std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        ++written;
    }
    std::ofstream(output / "stamp") << written << " values\n";
    return 0;
}
