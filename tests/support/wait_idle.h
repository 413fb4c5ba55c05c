#pragma once
// Waiting for work to end rather than for time to pass: a test that checks that something did
// NOT happen first waits until nothing is left that could still make it happen.

namespace pelloran::test {

// Pumps the event loop until no operation is queued or running on any queue of the process
// and the deliveries they posted have been handled (several quiet rounds in a row, so that a
// delivery that starts new work is waited for too). `held`: operations the test itself keeps
// from ending (a server that holds its answer), left out of the count. False when work was
// still going on after `ms`.
bool waitUntilIdle(int ms = 20000, int held = 0);

}  // namespace pelloran::test
