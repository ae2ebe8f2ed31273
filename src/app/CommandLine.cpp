#include "CommandLine.h"

namespace {

CommandLine Mistake(const QString& text) {
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.error = text;
    return line;
}

// "--export-plot FILE.raw OUT.png [--plot N] [--vectors a,b] [--size WxH]", in any order after
// the two files.
CommandLine ParseExportPlot(const QStringList& arguments, qsizetype at) {
    CommandLine line;
    line.action = CommandLine::Action::ExportPlot;
    if (at + 2 >= arguments.size())
        return Mistake(QStringLiteral("--export-plot ждет файл результатов и файл рисунка"));
    line.rawFile = arguments.value(at + 1);
    line.picture = arguments.value(at + 2);
    if (line.rawFile.isEmpty() || line.picture.isEmpty())
        return Mistake(QStringLiteral("--export-plot ждет файл результатов и файл рисунка"));
    for (qsizetype index = at + 3; index < arguments.size(); index += 2) {
        const QString& option = arguments[index];
        if (index + 1 >= arguments.size())
            return Mistake(QStringLiteral("после «%1» нужно значение").arg(option));
        const QString& value = arguments[index + 1];
        bool number = false;
        if (option == QLatin1String("--plot")) {
            line.plot = value.toInt(&number);
            if (!number || line.plot < 1)
                return Mistake(QStringLiteral("номер графика «%1» — не число от 1").arg(value));
        } else if (option == QLatin1String("--vectors")) {
            line.vectors = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        } else if (option == QLatin1String("--size")) {
            const QStringList sides = value.toLower().split(QLatin1Char('x'));
            bool wide = false, high = false;
            line.width = sides.value(0).toInt(&wide);
            line.height = sides.value(1).toInt(&high);
            if (sides.size() != 2 || !wide || !high)
                return Mistake(QStringLiteral("размер «%1» не вида ШИРИНАxВЫСОТА").arg(value));
        } else {
            return Mistake(QStringLiteral("неизвестный параметр «%1»").arg(option));
        }
    }
    return line;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype at = 0; at < arguments.size(); ++at) {
        const QString& argument = arguments[at];
        if (!optionsEnded && argument == QLatin1String("--export-plot"))
            return ParseExportPlot(arguments, at);
        if (!optionsEnded && argument == QLatin1String("--check")) {
            // Every argument after it is a netlist to check.
            line.action = CommandLine::Action::Check;
            line.files = arguments.mid(at + 1);
            if (line.files.isEmpty())
                return Mistake(QStringLiteral("--check ждет хотя бы один файл"));
            return line;
        }
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
        "  --export-plot РЕЗУЛЬТАТЫ.raw РИСУНОК.png [--plot N] [--vectors v(out),v(in)]\n"
        "             [--size ШИРИНАxВЫСОТА]\n"
        "             нарисовать график N файла результатов (.png, .svg или .pdf) и выйти\n"
        "  --check ФАЙЛ...\n"
        "             проверить описания схем и вывести найденное в виде\n"
        "             ФАЙЛ:СТРОКА:СТОЛБЕЦ: error|warning: ТЕКСТ; код выхода 1, если есть ошибки\n"
        "  --         дальше только файлы, даже если имя начинается с «-»\n");
}
