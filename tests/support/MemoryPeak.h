// The peak resident memory of this process since the object was made, for reports of what a
// load costs (Linux; reports 0 where the kernel does not tell). Never for assertions: the
// figure depends on the machine.
#pragma once

#include <QByteArray>
#include <QFile>

namespace testsupport
{

class MemoryPeak
{
public:
    MemoryPeak()
    {
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        if (reset.open(QIODevice::WriteOnly))
            reset.write("5"); // the peak starts again from what is resident now
        m_baseKb = field("VmRSS:");
    }
    // How far the peak rose above what was resident at the start, in MiB.
    double growthMiB() const { return double(field("VmHWM:") - m_baseKb) / 1024.0; }

private:
    static qint64 field(const char *name)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith(name))
                return line.mid(qstrlen(name)).trimmed().split(' ').first().toLongLong();
        }
        return 0;
    }
    qint64 m_baseKb = 0;
};

} // namespace testsupport
