#include "casefile/CaseFileRecord.h"

void CaseFileRecord::Notes::Add(std::string note) {
    if (listed.size() < kMaxNotes) {
        listed.push_back(std::move(note));
    } else {
        ++notListed;
    }
}
