#pragma once

// What became of one slave's lines in a run.
struct SlaveTally
{
    int slave = 0;
    int sent = 0;
    int accepted = 0;
    int rejected = 0;
    int notAnswered = 0;
    int skipped = 0;
    int notSent = 0; // never reached because the run was interrupted
    bool givenUp = false;

    int problems() const { return rejected + notAnswered + skipped; }
    int done() const { return accepted + problems(); }
    bool allAccepted() const { return problems() == 0; }
};
