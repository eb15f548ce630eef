// The run-time error object that system routines raise to their callers:
// a number, the source that raised it and a description.
#pragma once

#include <QString>
#include <exception>
#include <string>

namespace platform
{

// Base of user-defined error numbers (0x80040000).
constexpr long vbObjectError = -2147221504L;

class RuntimeError : public std::exception
{
public:
    RuntimeError(long number, QString source, QString description)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
          m_what(QStringLiteral("%1 (%2): %3").arg(m_number).arg(m_source, m_description).toStdString())
    {
    }

    long number() const noexcept { return m_number; }
    const QString &source() const noexcept { return m_source; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    long m_number;
    QString m_source;
    QString m_description;
    std::string m_what;
};

} // namespace platform
