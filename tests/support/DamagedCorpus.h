#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

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

// The damaged corpus and the fuzz inputs on disk, each file alone in a folder: a file dialog
// lists the whole folder it opens.
class CorpusFolder
{
public:
    // Empty when every file was written, else why not.
    QString write();
    const std::vector<Sample> &samples() const { return m_samples; }
    QString path(const QByteArray &name, const char *file = "damaged.cfg") const
    {
        return m_dir.filePath(QString::fromLatin1(name + '/' + file));
    }
    // A QByteArray column "name" with a row per sample.
    void addTestRows() const;

private:
    QTemporaryDir m_dir;
    std::vector<Sample> m_samples;
};
