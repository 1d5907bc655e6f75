// Text file encodings of the notepad's page files and of the text loaders:
// byte-order-mark detection, line-break normalisation, the ANSI-or-UTF-8
// choice on saving, and a save that never destroys what was on disk.
// Free functions; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/Types.h"

namespace tk {

enum class TTextEncoding : uint8_t { teAnsi, teUtf8, teUtf16LE, teUtf16BE };

// Looks at the first bytes in the order FF FE, FE FF, EF BB BF; without one of
// these marks the text is ANSI (also when it would be valid UTF-8).
// BomLength (when given) gets the length of the mark, 0 for ANSI.
TTextEncoding DetectEncoding(const uint8_t* Data, size_t Count, size_t* BomLength = nullptr);

// The whole text with its mark skipped. A last odd byte of UTF-16 is dropped.
String DecodeText(const uint8_t* Data, size_t Count, TTextEncoding* Found = nullptr);
inline String DecodeText(const std::vector<uint8_t>& Bytes, TTextEncoding* Found = nullptr) {
  return DecodeText(Bytes.data(), Bytes.size(), Found);
}

// Every lone CR and every lone LF becomes CR LF; CR LF stays as it is.
String NormalizeLineBreaks(const String& Text);

// ANSI without a mark when every character has an ANSI form; otherwise UTF-8
// with its mark, so no character is turned into "?" on the way to the disk.
// Utf8 (when given) tells which one was chosen.
std::vector<uint8_t> EncodePageText(const String& Text, bool* Utf8 = nullptr);

// The whole file, opened for reading with other writers denied; failures
// raise EFOpenError "Cannot open file "%s". %s".
std::vector<uint8_t> ReadFileBytes(const String& Path);
// ReadFileBytes, then DecodeText (line breaks as they are in the file).
String LoadTextFile(const String& Path, TTextEncoding* Found = nullptr);

// Writes Bytes to a temporary file beside Path, flushes it to the disk, then
// puts it in place of Path in one step (an existing read-only target is
// refused, as Windows refuses to replace it). On any failure the temporary
// file is removed, whatever Path held stays intact, and EFCreateError
// "Cannot create file "%s". %s" is raised with Path and the system's reason;
// only a temporary file that is the last copy of any text is kept.
void SaveFileReplacing(const String& Path, const std::vector<uint8_t>& Bytes);

#ifdef _WIN32
// The step that puts the written temporary file in place of an existing Path
// (ReplaceFileW without a backup): 0 or the system's error code. When it
// fails with the old file already gone (ERROR_UNABLE_TO_MOVE_REPLACEMENT),
// the temporary file is moved into place, and kept if even that fails.
using TReplaceFileCall = unsigned long (*)(const String& Path, const String& Temp);
// SaveFileReplacing with the step given, so its failures can be tried.
void SaveFileReplacing(const String& Path, const std::vector<uint8_t>& Bytes, TReplaceFileCall Replace);
#endif

}  // namespace tk
