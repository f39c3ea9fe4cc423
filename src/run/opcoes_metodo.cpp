// Opções do método na linha de comando: valores lidos e conferidos, e avisos das que não se aplicam à entrada.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "run/opcoes.h"
#include "state/componentes.h"

namespace {

constexpr long max_varreduras = 1000000;

// Inteiro decimal sem sinal em 0..maximo, o texto inteiro.
bool inteiro_sem_sinal(const char* t, unsigned long long maximo, unsigned long long& v) {
    if (*t < '0' || *t > '9') return false;
    errno = 0;
    char* fim = nullptr;
    v = std::strtoull(t, &fim, 10);
    return errno == 0 && *fim == '\0' && v <= maximo;
}

// Valores das opções de método; false quando o texto não serve.
bool ler_contagem(const char* t, int& n) {
    unsigned long long v = 0;
    if (!inteiro_sem_sinal(t, max_varreduras, v)) return false;
    n = static_cast<int>(v);
    return true;
}

bool ler_omega(const char* t, double& w) {
    errno = 0;
    char* fim = nullptr;
    w = std::strtod(t, &fim);
    return fim != t && *fim == '\0' && errno == 0 && std::isfinite(w) && w > 0.0 && w < 2.0;
}

bool ler_inicio(const std::string& t, metodo_solver& m) {
    unsigned long long semente = 1;
    if (t != "random" && (t.rfind("random:", 0) != 0 || !inteiro_sem_sinal(t.c_str() + 7, 4294967295ULL, semente)))
        return false;
    m.inicio = tipo_inicio::aleatorio;
    m.semente = semente;
    return true;
}

} // namespace

bool opcao_de_metodo(std::string_view nome) {
    for (const char* n : {"cycle", "smoother", "omega", "restriction", "pre", "post", "coarsest", "start", "fmg"})
        if (nome == n) return true;
    return false;
}

std::string ler_opcao_metodo(std::string_view opcao, const char* valor, metodo_solver& m) {
    const std::string a = valor;
    const std::string erro = "invalid value '" + a + "' for --" + std::string(opcao) + " (";
    if (opcao == "cycle") {
        const componente_ciclo* v = ciclo_de_nome(a);
        if (!v) return erro + "must be " + nomes_de_ciclos("or") + ")";
        m.ciclo = v->tipo;
    } else if (opcao == "pre" || opcao == "post") {
        if (!ler_contagem(valor, opcao == "pre" ? m.pre : m.pos)) return erro + "must be 0 to 1000000)";
    } else if (opcao == "coarsest") {
        m.grosso_exato = a == "solve";
        if (!m.grosso_exato && !ler_contagem(valor, m.grosso)) return erro + "must be 0 to 1000000 or solve)";
    } else if (opcao == "smoother") {
        const componente_suavizador* v = suavizador_de_nome(a);
        if (!v) return erro + "must be " + nomes_de_suavizadores("or") + ")";
        m.suavizador = v->tipo;
    } else if (opcao == "omega") {
        if (!ler_omega(valor, m.omega)) return erro + "must be a number above 0 and below 2)";
    } else if (opcao == "restriction") {
        const componente_restricao* v = restricao_de_nome(a);
        if (!v) return erro + "must be " + nomes_de_restricoes("or") + ")";
        m.restricao = v->tipo;
    } else if (opcao == "start") {
        if (!ler_inicio(a, m)) return erro + "must be random or random:SEED, SEED 0 to 4294967295)";
    }
    return {};
}

std::vector<std::string> avisos_metodo(const metodo_solver& m, int nm) {
    std::vector<std::string> avisos;
    if (nm == 1) {
        std::string nomes;
        auto anotar = [&](bool dado, const char* nome) {
            if (dado) nomes += (nomes.empty() ? "" : ", ") + std::string(nome);
        };
        anotar(m.ciclo != tipo_ciclo::V, "--cycle");
        anotar(m.fmg, "--fmg");
        anotar(m.pre != conforme_nitm, "--pre");
        anotar(m.pos != conforme_nitm, "--post");
        anotar(m.grosso != conforme_nitm || m.grosso_exato, "--coarsest");
        anotar(m.restricao != tipo_restricao::injecao, "--restriction");
        if (!nomes.empty())
            avisos.push_back(nomes + " ignored: a single grid (nm = 1) iterates the smoother only");
    }
    if (m.omega != 0.0 && !componente(m.suavizador).aceita_omega)
        avisos.push_back(std::string("--omega ignored: the line smoother ") + componente(m.suavizador).nome +
                         " takes no relaxation factor");
    return avisos;
}


