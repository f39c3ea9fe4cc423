// A tabela das opções do método e os leitores dos seus valores, conferidos como a linha de comando os confere.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "state/componentes.h"
#include "state/numeros.h"
#include "state/opcoes_metodo.h"

namespace {

constexpr unsigned long long max_varreduras = 1000000;
constexpr unsigned long long max_semente = 4294967295ULL;

// Inteiro decimal em 0..maximo pela regra da entrada, o texto inteiro.
bool inteiro_sem_sinal(const char* t, unsigned long long maximo, unsigned long long& v) {
    if (maximo <= 2147483647ULL) {
        int x = 0;
        if (ler_inteiro_decimal(t, x) != leitura_numero::certo || x < 0 || static_cast<unsigned long long>(x) > maximo)
            return false;
        v = static_cast<unsigned long long>(x);
        return true;
    }
    if (*t < '0' || *t > '9') return false;
    errno = 0;
    char* fim = nullptr;
    v = std::strtoull(t, &fim, 10);
    return errno == 0 && *fim == '\0' && v <= maximo;
}

bool contagem(const std::string& t, int& n) {
    unsigned long long v = 0;
    if (!inteiro_sem_sinal(t.c_str(), max_varreduras, v)) return false;
    n = static_cast<int>(v);
    return true;
}

std::string ler_ciclo(const std::string& t, metodo_solver& m) {
    const componente_ciclo* c = ciclo_de_nome(t);
    if (!c) return "must be " + nomes_de_ciclos("or");
    m.ciclo = c->tipo;
    return {};
}

std::string ler_fmg(const std::string& t, metodo_solver& m) {
    if (t != "0" && t != "1") return "must be 0 or 1";
    m.fmg = t == "1";
    return {};
}

std::string ler_pre(const std::string& t, metodo_solver& m) {
    return contagem(t, m.pre) ? std::string() : "must be 0 to 1000000";
}

std::string ler_pos(const std::string& t, metodo_solver& m) {
    return contagem(t, m.pos) ? std::string() : "must be 0 to 1000000";
}

std::string ler_grosso(const std::string& t, metodo_solver& m) {
    m.grosso_exato = t == "solve";
    return m.grosso_exato || contagem(t, m.grosso) ? std::string() : "must be 0 to 1000000 or solve";
}

std::string ler_suavizador(const std::string& t, metodo_solver& m) {
    const componente_suavizador* s = suavizador_de_nome(t);
    if (!s) return "must be " + nomes_de_suavizadores("or");
    m.suavizador = s->tipo;
    return {};
}

std::string ler_omega(const std::string& t, metodo_solver& m) {
    double w = 0.0;
    if (ler_real_decimal(t, w) != leitura_numero::certo || !(w > 0.0 && w < 2.0))
        return "must be a number above 0 and below 2";
    m.omega = w;
    return {};
}

std::string ler_restricao(const std::string& t, metodo_solver& m) {
    const componente_restricao* r = restricao_de_nome(t);
    if (!r) return "must be " + nomes_de_restricoes("or");
    m.restricao = r->tipo;
    return {};
}

std::string ler_inicio(const std::string& t, metodo_solver& m) {
    unsigned long long semente = 1;
    if (t != "random" && (t.rfind("random:", 0) != 0 || !inteiro_sem_sinal(t.c_str() + 7, max_semente, semente)))
        return "must be random or random:SEED, SEED 0 to 4294967295";
    m.inicio = tipo_inicio::aleatorio;
    m.semente = semente;
    return {};
}

constexpr opcao_metodo tabela[] = {
    {"cycle", "ciclo", "V|W|F", "V", "multigrid cycle (default {padrao})", ler_ciclo},
    {"fmg", "fmg", "", "off", "start by full multigrid (nested iteration from level 1)", ler_fmg},
    {"pre", "pre", "N", "nitm", "sweeps before the coarse-grid correction (default {padrao})", ler_pre, true},
    {"post", "pos", "N", "nitm", "sweeps after the coarse-grid correction (default {padrao})", ler_pos, true},
    {"coarsest", "grosso", "N|solve", "nitm", "sweeps on level 1 (default {padrao}), or solve it exactly", ler_grosso,
     true},
    {"smoother", "suavizador", "NAME", "gs-lex", "{suavizadores}", ler_suavizador},
    {"omega", "omega", "W", "1", "relaxation factor, 0 < W < 2, for {relaxam}\n(default {omega})", ler_omega, true},
    {"restriction", "restricao", "NAME", "injection", "{restricoes} weighting", ler_restricao},
    {"start", "inicio", "random[:SEED]", "tipo_ci", "interior of the start field uniform in [-1, 1) (SEED default 1)",
     ler_inicio},
};

} // namespace

std::span<const opcao_metodo> opcoes_do_metodo() { return tabela; }

const opcao_metodo* opcao_do_metodo(std::string_view nome) {
    for (const opcao_metodo& o : tabela)
        if (nome == o.nome) return &o;
    return nullptr;
}

std::string nomes_das_opcoes_do_metodo() {
    std::string s;
    for (const opcao_metodo& o : tabela) s += (s.empty() ? "" : ", ") + std::string(o.nome);
    return s;
}
