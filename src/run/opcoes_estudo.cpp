// Opções de valores e de estudo: --set NOME=VALOR, --sweep NOME=LISTA e as combinações que um estudo aceita.
#include <cerrno>
#include <cstdlib>
#include <utility>

#include "run/execucao.h"
#include "run/opcoes.h"
#include "state/opcoes_metodo.h"

namespace {

constexpr long max_rodadas = 10000;

constexpr const char* nomes_entrada = "caso, nm, nxg, nyg, tolt, itmax, nitm, problema, tipo_ci, escreve, freq, titulo";
// NOME=VALOR: o nome e o resto (o valor pode ter '='); false sem '='.
bool separar(const std::string& t, std::string& nome, std::string& valor) {
    const std::size_t igual = t.find('=');
    if (igual == std::string::npos) return false;
    nome = t.substr(0, igual);
    valor = t.substr(igual + 1);
    return true;
}

// Inteiro decimal com sinal, o texto inteiro.
bool inteiro(const std::string& t, long& v) {
    if (t.empty()) return false;
    errno = 0;
    char* fim = nullptr;
    v = std::strtol(t.c_str(), &fim, 10);
    return errno == 0 && *fim == '\0' && (t[0] == '-' || t[0] == '+' || (t[0] >= '0' && t[0] <= '9'));
}

// "a:b" (inteiros, a <= b) ou itens separados por vírgula; vazio quando aceito, senão o motivo.
std::string expandir(const std::string& lista, std::vector<std::string>& valores) {
    const std::size_t dois = lista.find(':');
    long a = 0, b = 0;
    if (dois != std::string::npos && inteiro(lista.substr(0, dois), a) && inteiro(lista.substr(dois + 1), b)) {
        if (a > b) return "the range " + lista + " is empty (write it as FIRST:LAST, FIRST <= LAST)";
        if (b - a >= max_rodadas) return "the range " + lista + " has more than " + std::to_string(max_rodadas) + " values";
        for (long v = a; v <= b; ++v) valores.push_back(std::to_string(v));
        return {};
    }
    std::size_t i = 0;
    for (;;) {
        const std::size_t virgula = lista.find(',', i);
        valores.push_back(lista.substr(i, virgula == std::string::npos ? std::string::npos : virgula - i));
        if (valores.back().empty()) return "an empty value in the list '" + lista + "'";
        if (virgula == std::string::npos) return {};
        i = virgula + 1;
    }
}

// Um valor de uma opção do método, conferido como a própria opção o seria: vazio, ou o motivo.
std::string conferir_valor_metodo(const std::string& nome, const std::string& valor) {
    metodo_solver m;
    return ler_valor_do_metodo(*opcao_do_metodo(nome), valor, m, nullptr);
}

} // namespace

std::string ler_alteracao(const char* texto, alteracao_entrada& a) {
    const std::string t = texto;
    if (!separar(t, a.nome, a.valor)) return "invalid --set '" + t + "': write it as NAME=VALUE";
    if (!valor_de_entrada(a.nome))
        return "invalid --set '" + t + "': '" + a.nome + "' is not a value of the input file (" + nomes_entrada + ")";
    if (const std::string motivo = conferir_valor_de_entrada(a.nome, a.valor); !motivo.empty())
        return "invalid --set '" + t + "': " + motivo;
    return {};
}

std::string ler_varredura(const char* texto, varredura& v) {
    const std::string t = texto;
    std::string lista;
    if (!separar(t, v.nome, lista)) return "invalid --sweep '" + t + "': write it as NAME=LIST";
    const bool metodo = opcao_de_metodo(v.nome);
    if (v.nome == "caso") return "invalid --sweep '" + t + "': caso names the listings of a study and cannot be swept";
    if (!metodo && !valor_de_entrada(v.nome))
        return "invalid --sweep '" + t + "': '" + v.nome + "' is neither a value of the input file (" + nomes_entrada +
               ") nor a method option (" + nomes_das_opcoes_do_metodo() + ")";
    if (const std::string motivo = expandir(lista, v.valores); !motivo.empty()) return "invalid --sweep '" + t + "': " + motivo;
    for (std::size_t i = 0; i < v.valores.size(); ++i) {
        const std::string& x = v.valores[i];
        const std::string motivo = metodo ? conferir_valor_metodo(v.nome, x) : conferir_valor_de_entrada(v.nome, x);
        if (!motivo.empty()) return "invalid value '" + x + "' in --sweep " + v.nome + ": " + motivo;
        for (std::size_t j = 0; j < i; ++j)
            if (v.valores[j] == x) return "the value '" + x + "' appears twice in --sweep " + v.nome;
    }
    return {};
}

std::string conferir_opcoes_estudo(const opcoes_execucao& o) {
    const bool estudo = !o.varreduras.empty();
    if (o.comandos && !estudo) return "--commands prints the runs of a study: give at least one --sweep";
    if (!o.tabela_estudo.empty() && estudo) return "--study-table reads a finished study: not together with --sweep";
    if (!o.tabela_estudo.empty() && (!o.csv.empty() || !o.json.empty()))
        return "--study-table prints the table of a finished study: --csv and --json write a single run's history";
    if (!estudo) return {};
    if (o.resumo.empty()) return "a study (--sweep) needs --summary FILE: every run appends its row there";
    const std::pair<bool, const char*> recusadas[] = {
        {o.monitor, "--monitor"}, {!o.csv.empty(), "--csv"}, {!o.json.empty(), "--json"}, {o.csv_erros, "--csv-errors"},
        {o.tempos, "--timing"},   {o.lfa, "--lfa"},          {o.comandos && !o.grafico.empty(), "--plot"},
        {!o.campo.empty(), "--save-field"}, {!o.reinicio.empty(), "--restart"}};
    for (const auto& [dada, nome] : recusadas)
        if (dada)
            return std::string(nome) + " does not apply to a study" +
                   (std::string(nome) == "--plot" ? " printed by --commands (draw it later with --study-table FILE --plot PREFIX)"
                                                  : ": its runs go on side by side, each writing only its listing and "
                                                    "its summary row");
    long rodadas = 1;
    for (std::size_t i = 0; i < o.varreduras.size(); ++i) {
        const std::string& n = o.varreduras[i].nome;
        for (std::size_t j = 0; j < i; ++j)
            if (o.varreduras[j].nome == n) return "--sweep " + n + " is given twice";
        for (const alteracao_entrada& a : o.alteracoes)
            if (a.nome == n) return "--set " + n + " and --sweep " + n + " are both given";
        for (const alteracao_entrada& a : o.opcoes_metodo)
            if (a.nome == n) return "--" + n + " and --sweep " + n + " are both given";
        rodadas *= static_cast<long>(o.varreduras[i].valores.size());
        if (rodadas > max_rodadas)
            return o.comandos ? "--commands would print more than " + std::to_string(max_rodadas) +
                                    " commands; split the study (one --commands per value of the first --sweep, say)"
                              : "the study has more than " + std::to_string(max_rodadas) +
                                    " runs; split it, or print its runs with --commands in parts";
    }
    return {};
}
