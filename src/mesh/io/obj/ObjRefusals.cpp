#include "mesh/io/obj/ObjRefusals.h"

Status RefuseObj(const std::string& message) {
    return Status::Failure(message);
}

Status ObjUnknownToken(std::string_view word) {
    return Status::Failure("glmFirstPass(): Unknown token \"" + std::string(word) + "\".");
}

std::string ObjChangedMessage(std::string_view givenPath) {
    return "Read Obj failed: \"" + std::string(givenPath) + "\" changed while it was read.";
}

std::string ObjInvalidMessage(std::string_view givenPath, std::string_view reason) {
    return "Read Obj failed: \"" + std::string(givenPath) + "\": " + std::string(reason) + ".";
}

std::string ObjTooLargeMessage(std::string_view givenPath) {
    return "Read Obj failed: \"" + std::string(givenPath) +
           "\" holds more elements than the reader can index.";
}
