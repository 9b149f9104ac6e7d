#pragma once

// OpenSSL keeps state for each thread that uses it (random generators, the
// error queue) and frees it as the thread exits. A Qt thread counts as
// finished before that, so a program may be past OpenSSL's own clean-up by
// then, and the state is lost. A thread enlisted here gives its state back
// with Qt's per-thread storage, before it counts as finished.
namespace OpenSslThreadState {

// Called before a thread's OpenSSL work; cheap once the thread is enlisted.
void enlist();

} // namespace OpenSslThreadState
