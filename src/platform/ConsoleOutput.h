#pragma once

namespace nodalyx {

// A windowed program on Windows starts without a console: what it prints (--help,
// --version, a mistake in the options) would go nowhere. Called before printing, this
// attaches the console of the command prompt that started it, unless the output is already
// redirected to a file or a pipe. Does nothing on other systems, where the terminal is
// always there.
void attachParentConsole();

} // namespace nodalyx
