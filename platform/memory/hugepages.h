#pragma once
// The malloc heap on transparent huge pages.
//
// A game frame starts after 16 ms of sleep in which other programs ran: its own data is out of
// the caches and out of the TLB. The frame reaches a few hundred heap pages (widgets, fonts,
// texts, draw commands) and the rows of its pictures, and under a hypervisor every TLB miss is
// a two-level page walk. On 2 MB pages the same data needs a handful of TLB entries.
//
// glibc puts its heap and its large blocks on huge pages when the tunable glibc.malloc.hugetlb
// is 1, read once at start-up; so the program starts itself again with it set. Nothing happens
// when the kernel has transparent huge pages turned off, or when GLIBC_TUNABLES already says
// what to do about it (glibc.malloc.hugetlb=0 keeps the normal pages).
#include <string>

namespace plat {

// The GLIBC_TUNABLES value to start again with, or "" to go on as is. thpMode is the content of
// /sys/kernel/mm/transparent_hugepage/enabled (nullptr when unreadable), tunables the current
// GLIBC_TUNABLES (nullptr when unset).
std::string HugePageHeapTunables(const char* thpMode, const char* tunables);

// Starts the program again (same arguments, same process) with the tunable set when that
// applies; returns when it does not or when the new start fails. Call first thing in main,
// before any thread or file is opened.
void StartAgainWithHugePageHeap(char** argv);

}  // namespace plat
