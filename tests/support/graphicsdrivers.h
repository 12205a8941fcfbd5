#pragma once
// Tests that draw through the system's OpenGL (page tour, 3D views under a virtual X server):
// the OpenGL driver is unloaded at exit, before the leak check, and what its globals still
// held then shows as nameless leaks. Keeping the loaded drivers in memory until the process
// ends keeps those allocations reachable.
namespace LumaraTest {

// Marks every graphics driver loaded so far as never to be unloaded. Call it once the
// drivers are in use, e.g. at the end of the test. A no-op where there are none.
void keepGraphicsDriversLoaded();

} // namespace LumaraTest
