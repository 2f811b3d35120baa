#pragma once

#include <QByteArray>

#include <vector>

struct Sample
{
    QByteArray name;
    QByteArray bytes;
};

// Hundreds of damaged and hostile questionnaire files, the same on every run.
std::vector<Sample> damagedCorpus();

// The fuzzer's seeds and every input it ever failed on.
std::vector<Sample> fuzzInputs();
