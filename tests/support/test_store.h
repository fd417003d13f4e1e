// The store a test works on, for helpers that are handed no store: the
// fixtures set it (a fresh store per test, or the started program's).
#pragma once

class Corvane3Data;

extern Corvane3Data* TheStore;
