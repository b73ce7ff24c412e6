// SPDX-License-Identifier: GPL-3.0-or-later
// The personality file reader on arbitrary file contents: a block comes back exactly when the
// first field has 256 characters, and a field of hex digits reads back as it was written.
#include "FuzzInput.h"
#include "image/PersonalityFile.h"

#include <algorithm>
#include <cctype>

using namespace ostrand;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray field = FirstField(content);
    if (field.size() > content.size()) fuzz::Fail("field longer than the file");
    if (!field.isEmpty() && !content.contains(field)) fuzz::Fail("field not taken from the file");

    const auto block = ParsePersonality(content);
    if (block.has_value() != (field.size() == kPersonalityDigits))
        fuzz::Fail("block returned for a field that is not 256 characters, or refused for one");
    if (!block) return 0;

    const bool allHex = std::all_of(field.begin(), field.end(),
                                    [](char c) { return std::isxdigit(static_cast<uint8_t>(c)); });
    EEImage image{};
    std::copy(block->begin(), block->end(), image.begin());
    const QByteArray again = FormatPersonality(image);
    if (again.size() != kPersonalityDigits) fuzz::Fail("formatted file is not 256 digits");
    if (allHex && again != field.toUpper()) fuzz::Fail("hex digits did not read back");
    if (ParsePersonality(again) != block) fuzz::Fail("written file does not read back");
    return 0;
}
