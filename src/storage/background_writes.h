#pragma once

#include <functional>

// The writes of the files kept between runs, made one after another, in the
// order asked, on a thread of their own: a slow disk or a lock another game
// holds never stalls the window.
namespace background_writes {

// Runs write on the writing thread after every write asked for before it.
void post(std::function<void()> write);
// Waits until every write asked for so far is done.
void wait();

} // namespace background_writes
