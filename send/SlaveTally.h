#pragma once

// What became of one slave's lines in a run.
struct SlaveTally
{
    int slave = 0;
    int sent = 0;
    int accepted = 0;
    int rejected = 0;
    int notAnswered = 0;
    int skipped = 0; // titles the device cannot show
    int notSent = 0; // never reached: the run was interrupted, the slave given up or the port lost
    bool givenUp = false;

    int problems() const { return rejected + notAnswered + skipped + notSent; }
    int done() const { return accepted + problems(); }
    bool allAccepted() const { return problems() == 0; }
};
