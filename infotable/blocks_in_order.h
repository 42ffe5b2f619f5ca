// Work split into blocks that are made on every core but used one by one in
// their order, as a document is written: each block is made into a slot of its
// own, and a slot is made again only once its block has been used, so that
// no more than `slots` blocks are ever held.
#pragma once

#include <cstddef>
#include <functional>

// The threads to use for `blocks` blocks: one per core, never more than there
// are blocks; 1 on a machine of one core, or when `threads` asks for it
// (0 asks for every core).
unsigned ThreadsFor(size_t blocks, unsigned threads);

// Calls `make(block, slot)` for every block from 0 to `blocks` - 1 on up to
// `threads` threads, the caller's among them, and `use(block, slot)` for each
// in order on the caller's thread, after its `make` has returned. With one
// thread no other is started: each block is made and then used. `use` returns
// false to stop; blocks not yet used are then dropped. An exception thrown by
// either is thrown again here, once every other thread has stopped.
void MakeBlocksInOrder(size_t blocks, unsigned threads, size_t slots,
                       const std::function<void(size_t block, size_t slot)>& make,
                       const std::function<bool(size_t block, size_t slot)>& use);
