#include "CommandLine.h"

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-'))) {
            line.files.append(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help")) {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (argument == QLatin1String("--version")) {
            line.action = CommandLine::Action::Version;
            return line;
        } else {
            // "-" too: the program reads no netlist from its input.
            line.action = CommandLine::Action::Error;
            line.error = QStringLiteral("неизвестный параметр «%1»").arg(argument);
            return line;
        }
    }
    return line;
}

QString CommandLineUsage() {
    return QStringLiteral(
        "Использование: kivra [ПАРАМЕТР]... [ФАЙЛ]...\n"
        "Редактор описаний схем SPICE. Каждый ФАЙЛ открывается в своем окне, по порядку;\n"
        "активным становится последний. Без файлов открывается новый пустой документ.\n"
        "\n"
        "Параметры:\n"
        "  --help     показать эту справку и выйти\n"
        "  --version  показать версию и папку программы и выйти\n"
        "  --         дальше только файлы, даже если имя начинается с «-»\n");
}
