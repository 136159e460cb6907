#pragma once
// How long a test waits for an event it needs (a window shown or active, the
// focus moved, a popup open): far above what the event takes on a machine
// busy with other work, reached only when it never comes, which fails the
// test.
constexpr int WaitLimit = 20'000;
