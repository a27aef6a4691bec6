#pragma once

namespace tarnwick {

// What tarnwick-cli is asked to do, named by its first operand.
enum class Verb { Add, Get, Mirror, Search, Run, List };

}  // namespace tarnwick
