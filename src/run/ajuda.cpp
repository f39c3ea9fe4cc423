// O texto de --help: as opções da rodada e, tiradas das tabelas, as opções do método com os nomes dos componentes.
#include <cstdio>

#include "run/opcoes.h"
#include "state/componentes.h"
#include "state/opcoes_metodo.h"

namespace {

constexpr std::size_t coluna_da_descricao = 23; // onde começa a descrição de cada opção
constexpr std::size_t colunas_da_ajuda = 100;   // colunas de uma linha da ajuda, no máximo

// Os nomes de uma tabela com "(default)" depois do primeiro: "gs-lex (default), gs-rb, ..." (`ou` antes do último).
template <class T>
std::string nomes_com_padrao(std::span<const T> t, const char* ou) {
    std::string s;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (i > 0) s += i + 1 == t.size() && *ou ? std::string(" ") + ou + " " : std::string(", ");
        s += t[i].nome;
        if (i == 0) s += " (default)";
    }
    return s;
}

// {omega}: "1; 0.8 for jacobi", os padrões que não são 1 com o suavizador de cada um.
std::string padroes_de_omega() {
    std::string s = "1";
    for (const componente_suavizador& c : suavizadores())
        if (c.aceita_omega && c.omega_padrao != 1.0) {
            char n[32];
            std::snprintf(n, sizeof n, "%g", c.omega_padrao);
            s += std::string("; ") + n + " for " + c.nome;
        }
    return s;
}

std::string relaxam() {
    std::string s;
    for (const componente_suavizador& c : suavizadores())
        if (c.aceita_omega) s += (s.empty() ? "" : ", ") + std::string(c.nome);
    return s;
}

std::string expandir(std::string t, const opcao_metodo& o) {
    const std::pair<const char*, std::string> marcas[] = {
        {"{padrao}", o.padrao},
        {"{suavizadores}", nomes_com_padrao(suavizadores(), "")},
        {"{restricoes}", nomes_com_padrao(restricoes(), "or")},
        {"{relaxam}", relaxam()},
        {"{omega}", padroes_de_omega()}};
    for (const auto& [marca, valor] : marcas)
        for (std::size_t i; (i = t.find(marca)) != std::string::npos;) t.replace(i, std::string(marca).size(), valor);
    return t;
}

// "      OPÇÃO" e a descrição a partir da sua coluna (ao menos dois brancos depois da opção), quebrada em palavras
// (e onde ela tem "\n").
std::string linha_de_opcao(const std::string& opcao, const std::string& descricao) {
    std::string s = "      " + opcao;
    s += std::string(s.size() + 2 <= coluna_da_descricao ? coluna_da_descricao - s.size() : 2, ' ');
    std::size_t coluna = s.size();
    for (std::size_t i = 0; i < descricao.size();) {
        std::size_t fim = descricao.find_first_of(" \n", i);
        if (fim == std::string::npos) fim = descricao.size();
        const std::string palavra = descricao.substr(i, fim - i);
        const bool quebra = i > 0 && descricao[i - 1] == '\n';
        if (coluna > coluna_da_descricao && (quebra || coluna + 1 + palavra.size() > colunas_da_ajuda)) {
            s += "\n" + std::string(coluna_da_descricao, ' ');
            coluna = coluna_da_descricao;
        } else if (coluna > coluna_da_descricao && s.back() != ' ') {
            s += ' ';
            ++coluna;
        }
        s += palavra;
        coluna += palavra.size();
        i = fim + 1;
    }
    return s + "\n";
}

} // namespace

std::string texto_de_ajuda() {
    std::string s =
        "Usage: placa [OPTIONS] [INPUT]\n"
        "Solve the steady heat-conduction equation on the unit square by Gauss-Seidel or by\n"
        "geometric multigrid (V, W or F cycles, full multigrid, a choice of smoothers and\n"
        "restrictions) and write the listing named by the first value of INPUT (default:\n"
        "tervano3.ent in the current directory); --sweep runs a parameter study of them.\n"
        "\n"
        "  -n, --no-edit        start no editor, neither before reading nor after writing\n"
        "  -m, --monitor        print each outer iteration as it ends, then a summary\n"
        "      --csv FILE       write the residual history as CSV to FILE (- for standard output)\n"
        "      --json FILE      write one JSON document of the run to FILE (- for standard output):\n"
        "                       input, method, verdict, history, analysis, errors, timings, memory\n"
        "      --plot PREFIX    draw PREFIX-convergencia.svg, PREFIX-campo.svg and PREFIX-erro.svg\n"
        "                       (and PREFIX-coeficiente.svg when the coefficient varies) with gnuplot,\n"
        "                       beside their data PREFIX-*.dat and script PREFIX.gp\n"
        "      --plot-format svg|png|pdf  the format of the --plot figures (default svg; png and pdf need\n"
        "                       gnuplot's cairo terminals)\n"
        "      --summary FILE   append one CSV row for this run to FILE\n"
        "  -j, --threads N      a run: solver threads (default: the idle processors); a study: runs at\n"
        "                       once, as many as the memory holds (default: the processors); at most\n"
        "                       the processors available\n"
        "      --utf8           write the listing in UTF-8 instead of Latin-1\n"
        "      --template       print a commented example input file and exit\n"
        "      --set NAME=VALUE replace a value of INPUT (nm, nxg, nyg, tolt, itmax, nitm, problema,\n"
        "                       tipo_ci, escreve, freq, caso, titulo), checked as the reader checks it\n"
        "  -h, --help           show this help and exit\n"
        "  -V, --version        show the version and exit\n"
        "\n"
        "Method (the listing records any change from the classic V-cycle):\n";
    const auto grupo = [&](grupo_opcao g) {
        for (const opcao_metodo& o : opcoes_do_metodo())
            if (o.grupo == g)
                s += linha_de_opcao("--" + std::string(o.nome) + (*o.valor ? " " + std::string(o.valor) : ""),
                                    expandir(o.ajuda, o));
    };
    grupo(grupo_opcao::metodo);
    grupo(grupo_opcao::grosso);
    grupo(grupo_opcao::posterior);
    s += "\n"
         "Problem (the listing records any change from the Laplacian and the input's problema):\n";
    grupo(grupo_opcao::problema);
    s += "\n"
         "Analysis (never in the listing):\n"
         "      --lfa            print the local Fourier analysis of the method and exit (no solve): the\n"
         "                       two-grid table, then the k-grid factor of the run's own cycle, k = 2, 3, 4;\n"
         "                       with --plot PREFIX also the Fourier maps PREFIX-suavizacao, -dois-niveis and\n"
         "                       -tres-niveis (|S(theta)|, the two- and three-grid spectral radius)\n"
         "      --csv-errors     add the algebraic error of every iteration to the --csv and --json history\n"
         "      --timing         print the wall time per level and phase after the run\n"
         "\n"
         "Fields for NumPy (T[j, i] is the point x = i*dx, y = j*dy; row 0 is the south side):\n"
         "      --save-field FILE.npy  write the final field, boundary included, as a float64 .npy with\n"
         "                       FILE.npy.json beside it; with --csv-errors also FILE-erro.npy\n"
         "      --restart FILE   the field that tipo_ci = 2 starts from (default: the listing's name\n"
         "                       with .npy), checked against the grid, problem and operator\n"
         "\n"
         "Parameter study (one run per combination, rows appended to the --summary FILE):\n";
    s += linha_de_opcao("--sweep NAME=LIST", "NAME an input value or a method option (" + nomes_das_opcoes_do_metodo() +
                                                 "); LIST FIRST:LAST or a,b,c");
    s += "      --commands       print one shell command per run instead of running them\n"
         "      --study-table FILE  print the study table of a --summary FILE (and --plot its figures)\n"
         "      --study-id ID    the study ID written in the estudo column of the summary row (a study's runs\n"
         "                       get their study's)\n"
         "      --repeat R       solve R times (each run of a study too); the --summary row gets the median,\n"
         "                       least and greatest CPU and wall times\n"
         "\n"
         "The editor is $VISUAL, else $EDITOR, else vi when standard input is a terminal.\n"
         "Exit status: 0 success, 1 run failed, 2 bad command line, 3 the solve diverged (the outputs\n"
         "are written; a study: one of its runs diverged).\n";
    return s;
}
