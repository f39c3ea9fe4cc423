// Linha de comando: opções da rodada (getopt_long), com ajuda e versão; erros com a dica de uso.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <getopt.h>

#include "report/listagem.h"
#include "modelo_entrada.h"
#include "run/opcoes.h"
#include "versao.h"

namespace {

constexpr int max_threads = 1024;

enum {
    op_csv = 1000, op_plot, op_summary, op_cycle, op_fmg, op_pre, op_post, op_coarsest, op_smoother, op_omega,
    op_restriction, op_start, op_utf8, op_modelo, op_lfa, op_csv_erros, op_tempos, op_set, op_sweep, op_comandos,
    op_tabela_estudo
};

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
    "      --utf8           write the listing in UTF-8 instead of Latin-1\n"
    "      --template       print a commented example input file and exit\n"
    "      --set NAME=VALUE replace a value of INPUT (nm, nxg, nyg, tolt, itmax, nitm, problema,\n"
    "                       tipo_ci, escreve, freq, caso, titulo), checked as the reader checks it\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n"
    "\n"
    "Method (the listing records any change from the classic V-cycle):\n"
    "      --cycle V|W|F    multigrid cycle (default V)\n"
    "      --fmg            start by full multigrid (nested iteration from level 1)\n"
    "      --pre N          sweeps before the coarse-grid correction (default nitm)\n"
    "      --post N         sweeps after the coarse-grid correction (default nitm)\n"
    "      --coarsest N|solve  sweeps on level 1 (default nitm), or solve it exactly\n"
    "      --smoother NAME  gs-lex (default), gs-rb, jacobi, gs-sym, line-x, line-y, line-alt\n"
    "      --omega W        relaxation factor, 0 < W < 2, for gs-lex, gs-rb, gs-sym, jacobi\n"
    "                       (default 1; 0.8 for jacobi)\n"
    "      --restriction NAME  injection (default), half or full weighting\n"
    "      --start random[:SEED]  interior of the start field uniform in [-1, 1) (SEED default 1)\n"
    "\n"
    "Analysis (never in the listing):\n"
    "      --lfa            print the local Fourier analysis of the method and exit (no solve)\n"
    "      --csv-errors     add the algebraic error of every iteration to the --csv history\n"
    "      --timing         print the wall time per level and phase after the run\n"
    "\n"
    "Parameter study (one run per combination, rows appended to the --summary FILE):\n"
    "      --sweep NAME=LIST  NAME an input value or a method option (cycle, smoother, omega,\n"
    "                       restriction, pre, post, coarsest, start, fmg); LIST FIRST:LAST or a,b,c\n"
    "      --commands       print one shell command per run instead of running them\n"
    "      --study-table FILE  print the study table of a --summary FILE (and --plot its figures)\n"
    "  -j N                 in a study: runs at once (default: the processors available)\n"
    "\n"
    "The editor is $VISUAL, else $EDITOR, else vi when standard input is a terminal.\n"
    "Exit status: 0 success, 1 run failed, 2 bad command line.\n";

leitura_opcoes recusar(const std::string& msg) {
    escrever_mensagem(msg);
    std::fputs("Try 'placa --help' for more information.\n", stderr);
    return {false, 2, {}};
}

bool tem_controle(const std::string& s) {
    for (unsigned char c : s)
        if (c < 32 || c == 127) return true;
    return false;
}

} // namespace

leitura_opcoes interpretar_opcoes(int argc, char** argv) {
    static const option longas[] = {
        {"no-edit", no_argument, nullptr, 'n'},   {"monitor", no_argument, nullptr, 'm'},
        {"csv", required_argument, nullptr, op_csv}, {"plot", required_argument, nullptr, op_plot},
        {"summary", required_argument, nullptr, op_summary}, {"threads", required_argument, nullptr, 'j'},
        {"help", no_argument, nullptr, 'h'},      {"version", no_argument, nullptr, 'V'},
        {"utf8", no_argument, nullptr, op_utf8},  {"template", no_argument, nullptr, op_modelo},
        {"cycle", required_argument, nullptr, op_cycle}, {"fmg", no_argument, nullptr, op_fmg},
        {"pre", required_argument, nullptr, op_pre}, {"post", required_argument, nullptr, op_post},
        {"coarsest", required_argument, nullptr, op_coarsest}, {"smoother", required_argument, nullptr, op_smoother},
        {"omega", required_argument, nullptr, op_omega}, {"restriction", required_argument, nullptr, op_restriction},
        {"start", required_argument, nullptr, op_start}, {"lfa", no_argument, nullptr, op_lfa},
        {"csv-errors", no_argument, nullptr, op_csv_erros}, {"timing", no_argument, nullptr, op_tempos},
        {"set", required_argument, nullptr, op_set}, {"sweep", required_argument, nullptr, op_sweep},
        {"commands", no_argument, nullptr, op_comandos}, {"study-table", required_argument, nullptr, op_tabela_estudo},
        {nullptr, 0, nullptr, 0}};
    leitura_opcoes r;
    opcoes_execucao& o = r.opcoes;
    bool ajuda = false, versao = false, modelo = false;
    opterr = 0;
    optind = 1;
    int indice = 0;
    for (int c; (c = getopt_long(argc, argv, ":nmj:hV", longas, &indice)) != -1;) {
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
            // os nomes vão para o roteiro do gnuplot e para mensagens: nada de controle
            if (tem_controle(optarg)) {
                const char* nome = c == op_csv ? "--csv" : c == op_plot ? "--plot" : "--summary";
                return recusar(std::string("option '") + nome + "': the name '" + optarg +
                               "' holds a control character");
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
        case op_fmg:
            o.metodo.fmg = true;
            o.opcoes_metodo.push_back({"fmg", ""});
            break;
        case op_cycle:
        case op_pre:
        case op_post:
        case op_coarsest:
        case op_smoother:
        case op_omega:
        case op_restriction:
        case op_start:
            if (const std::string erro = ler_opcao_metodo(longas[indice].name, optarg, o.metodo); !erro.empty())
                return recusar(erro);
            o.opcoes_metodo.push_back({longas[indice].name, optarg});
            break;
        case op_lfa: o.lfa = true; break;
        case op_csv_erros: o.csv_erros = true; break;
        case op_tempos: o.tempos = true; break;
        case op_comandos: o.comandos = true; break;
        case op_set: {
            alteracao_entrada a;
            if (const std::string erro = ler_alteracao(optarg, a); !erro.empty()) return recusar(erro);
            o.alteracoes.push_back(a);
            break;
        }
        case op_sweep: {
            varredura v;
            if (const std::string erro = ler_varredura(optarg, v); !erro.empty()) return recusar(erro);
            o.varreduras.push_back(v);
            break;
        }
        case op_tabela_estudo:
            if (!*optarg || tem_controle(optarg))
                return recusar(std::string("option '--study-table' needs a file name without control characters"));
            o.tabela_estudo = optarg;
            break;
        case 'h': ajuda = true; break;
        case 'V': versao = true; break;
        case op_utf8: o.utf8 = true; break;
        case op_modelo: modelo = true; break;
        case ':':
            return recusar("option '" + std::string(argv[optind - 1]) + "' requires an argument");
        default: {
            const std::string a = argv[optind - 1];
            if (optopt && a.starts_with("--") && a.find('=') != std::string::npos)
                return recusar("option '" + a.substr(0, a.find('=')) + "' doesn't allow an argument");
            if (optopt && optopt < 256) return recusar("invalid option -- '" + std::string(1, char(optopt)) + "'");
            return recusar("unrecognized option '" + a + "'");
        }
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
    if (modelo) {
        std::fputs(modelo_entrada, stdout);
        return {false, std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1, {}};
    }
    if (const std::string erro = conferir_opcoes_estudo(o); !erro.empty()) return recusar(erro);
    if (!o.tabela_estudo.empty() && argc - optind > 0)
        return recusar("--study-table reads its FILE only: no INPUT file is read");
    if (o.csv_erros && o.csv.empty()) return recusar("--csv-errors adds columns to the --csv history: give --csv FILE");
    if (o.tempos && o.csv == "-") return recusar("--csv - and --timing both write to standard output");
    if (o.lfa && (o.monitor || !o.csv.empty() || !o.resumo.empty() || !o.grafico.empty() || o.tempos))
        return recusar("--lfa analyses without solving: --monitor, --csv, --summary, --plot and --timing do not apply");
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
