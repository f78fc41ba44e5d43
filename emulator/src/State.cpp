#include "State.h"

#include "Json.h"

namespace vp {

std::string stateToJson(State& s) {
    return json::encode(s);
}

bool stateFromJson(const std::string& text, State& s) {
    s = State{};
    return json::decode(text, s);
}

} // namespace vp
