// The bodies of the fuzz targets, shared by the libFuzzer executables and by
// the regression test that replays the seed corpus and every past finding.
// Each body aborts, with a line saying which property broke, on a fault.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// A byte stream as the server would send it: the first byte picks how the
// stream is cut into receive calls, the rest are the bytes. Frames must come
// out as a reference reading of the stream says, each decoded as rapidjson
// reads it, filling only the fields of its kind.
void frameStream(const std::uint8_t* data, std::size_t size);

// Card-list texts: splitString with a delimiter taken from the first bytes and
// parseCardList on the rest, each against a plain reading of its rules, and
// the round trip through formatCardList.
void cardText(const std::uint8_t* data, std::size_t size);

// Two arbitrary card lists: canFollow against its decision table, sorting,
// order independence, antisymmetry and the classifier's single match.
void canFollowLists(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
