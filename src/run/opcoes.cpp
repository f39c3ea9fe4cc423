#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <getopt.h>

#include "run/opcoes.h"
#include "versao.h"

namespace {

constexpr int max_threads = 1024;

const char* const uso =
    "Usage: placa [OPTIONS] [INPUT]\n"
    "Solve the steady heat-conduction equation on the unit square by Gauss-Seidel or\n"
    "multigrid V-cycles and write the listing named by the first value of INPUT\n"
    "(default: tervano3.ent in the current directory).\n"
    "\n"
    "  -n, --no-edit        start no editor, neither before reading nor after writing\n"
    "  -m, --monitor        print each outer iteration as it ends, then a summary\n"
    "      --csv FILE       write the residual history as CSV to FILE (- for standard output)\n"
    "      --plot PREFIX    draw PREFIX-convergencia.svg and PREFIX-campo.svg with gnuplot\n"
    "      --summary FILE   append one CSV row for this run to FILE\n"
    "  -j, --threads N      solver threads, at most the processors available (default: the idle ones)\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n"
    "\n"
    "The editor is $VISUAL, else $EDITOR, else vi when standard input is a terminal.\n"
    "Exit status: 0 success, 1 run failed, 2 bad command line.\n";

leitura_opcoes recusar(const std::string& msg) {
    std::fprintf(stderr, "placa: %s\nTry 'placa --help' for more information.\n", msg.c_str());
    return {false, 2, {}};
}

} // namespace

leitura_opcoes interpretar_opcoes(int argc, char** argv) {
    enum { op_csv = 1000, op_plot, op_summary };
    static const option longas[] = {
        {"no-edit", no_argument, nullptr, 'n'},   {"monitor", no_argument, nullptr, 'm'},
        {"csv", required_argument, nullptr, op_csv}, {"plot", required_argument, nullptr, op_plot},
        {"summary", required_argument, nullptr, op_summary}, {"threads", required_argument, nullptr, 'j'},
        {"help", no_argument, nullptr, 'h'},      {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0}};
    leitura_opcoes r;
    opcoes_execucao& o = r.opcoes;
    bool ajuda = false, versao = false;
    opterr = 0;
    optind = 1;
    for (int c; (c = getopt_long(argc, argv, ":nmj:hV", longas, nullptr)) != -1;) {
        switch (c) {
        case 'n': o.editar = false; break;
        case 'm': o.monitor = true; break;
        case op_csv:
        case op_plot:
        case op_summary:
            if (!*optarg) {
                const char* nome = c == op_csv ? "--csv" : c == op_plot ? "--plot" : "--summary";
                return recusar(std::string("option '") + nome + "' needs a file name, not ''");
            }
            (c == op_csv ? o.csv : c == op_plot ? o.grafico : o.resumo) = optarg;
            break;
        case 'j': {
            errno = 0;
            char* fim = nullptr;
            const long n = std::strtol(optarg, &fim, 10);
            if (errno || fim == optarg || *fim || n < 1 || n > max_threads)
                return recusar("invalid thread count '" + std::string(optarg) + "' (must be 1 to " +
                               std::to_string(max_threads) + ")");
            o.threads = static_cast<int>(n);
            break;
        }
        case 'h': ajuda = true; break;
        case 'V': versao = true; break;
        case ':':
            return recusar("option '" + std::string(argv[optind - 1]) + "' requires an argument");
        default:
            if (optopt && optopt < 256) return recusar("invalid option -- '" + std::string(1, char(optopt)) + "'");
            return recusar("unrecognized option '" + std::string(argv[optind - 1]) + "'");
        }
    }
    if (ajuda) {
        std::fputs(uso, stdout);
        return {false, 0, {}};
    }
    if (versao) {
        std::printf("placa %s (%s)\n", PLACA_VERSAO, PLACA_DATA_VERSAO);
        return {false, 0, {}};
    }
    if (argc - optind > 1) return recusar("too many arguments: only one INPUT file is read");
    if (argc - optind == 1) o.entrada = argv[optind];
    if (o.entrada.empty()) return recusar("the INPUT file name is empty");
    if (o.csv == "-" && o.monitor) return recusar("--csv - and --monitor both write to standard output");
    if (!o.csv.empty() && o.csv == o.resumo) return recusar("--csv and --summary name the same file");
    if ((!o.csv.empty() && o.csv == o.entrada) || (!o.resumo.empty() && o.resumo == o.entrada))
        return recusar("an output file is the INPUT file '" + o.entrada + "'");
    r.rodar = true;
    return r;
}
