// The names of a recovery image set's members and the machine check of its
// information file: which listed name is the information file, which
// ImageInfo texts this machine takes, and the names of the numbered pieces.
#pragma once

#include <cstdint>
#include <string>

namespace tw {
namespace rcv {

// True for a name whose extension (after its last ".") is exactly "inf",
// ignoring case; a listing by "*.inf" may also return longer extensions.
bool IsInformationFileName(const std::wstring& name);

// With both accepted texts empty every ImageInfo is taken; otherwise it must
// equal a non-empty one of them exactly (letter case included).
bool ImageInfoAccepted(const std::wstring& imageInfo, const std::wstring& accepted32,
                       const std::wstring& accepted64);

// Piece `piece` (from 1) of the set whose information file is base + ".inf":
// base + ".fc2" for the first, base + "." + the number in at least three
// digits ("%03u") for the others.
std::wstring PiecePath(const std::wstring& base, uint32_t piece);

}  // namespace rcv
}  // namespace tw
