#pragma once

#include <string>
#include <string_view>

struct Case;

// After the CT block, for a case carried from a CT body only (any other case is written exactly
// as before): "<carried>", "  <ctfolder>PATH</ctfolder>", "  <ctseries>UID</ctseries>",
// "  <ctsha256>HEX</ctsha256>", "  <ctlength>1.7240</ctlength>" (metres),
// "  <bodylength>1.7240</bodylength>" (metres), "  <bodyscale>0.862000</bodyscale>", "</carried>".
// Readers that know nothing of it skip its lines, which stand outside every other block.
void AppendCarriedBlock(std::string& out, const Case& theCase, std::string_view lineEnd);

// The first text of the block that would not read back whole, named for the user; empty when
// every one fits.
std::string CarriedTextTooLong(const Case& theCase);
