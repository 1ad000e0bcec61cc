// Counts heap allocations in a test binary, for the real-time rule: linking this replaces the
// global operator new and (with the link options the library carries) wraps malloc, calloc and
// realloc. Count inside a Counting scope; one binary per process that links it.
#pragma once

struct Counting
{
    Counting ();
    ~Counting ();
    /** Allocations since the scope began. */
    long count () const;
    /** Whether a scope is counting now, for a test's own stand-ins (a lock, say). */
    static bool active ();
};
