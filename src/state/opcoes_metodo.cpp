// A tabela das opções do método e os leitores dos seus valores, conferidos como a linha de comando os confere.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "state/componentes.h"
#include "state/numeros.h"
#include "state/opcoes_metodo.h"

namespace {

constexpr unsigned long long max_varreduras = 1000000;
constexpr unsigned long long max_semente = 4294967295ULL;
constexpr unsigned long long max_faixas = 1073741824ULL;  // M: as células a conferir vêm com a entrada
constexpr unsigned long long max_onda = 1000000;          // KX, KY de sin:KX:KY
constexpr double min_c = 1e-8, max_c = 1e8;               // C dos coeficientes

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

// Número decimal (strtod), o texto inteiro, finito.
// Um real pela regra da entrada (decimal, finito): o texto inteiro.
bool numero(const std::string& t, double& v) { return ler_real_decimal(t, v) == leitura_numero::certo; }

// "a:b:c" em pedaços; o primeiro é o nome.
std::vector<std::string> pedacos(const std::string& t) {
    std::vector<std::string> p(1);
    for (char c : t) {
        if (c == ':') p.emplace_back();
        else p.back() += c;
    }
    return p;
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

std::string ler_operador_grosso(const std::string& t, metodo_solver& m) {
    const componente_operador_grosso* c = operador_grosso_de_nome(t);
    if (!c) return "must be " + nomes_de_operadores_grossos("or");
    m.operador_grosso = c->tipo;
    return {};
}

std::string ler_interpolacao(const std::string& t, metodo_solver& m) {
    const componente_interpolacao* c = interpolacao_de_nome(t);
    if (!c) return "must be " + nomes_de_interpolacoes("or");
    m.interpolacao = c->tipo;
    return {};
}

std::string ler_engrossamento(const std::string& t, metodo_solver& m) {
    const componente_engrossamento* c = engrossamento_de_nome(t);
    if (!c) return "must be " + nomes_de_engrossamentos("or");
    m.engrossamento = c->tipo;
    return {};
}

std::string ler_inicio(const std::string& t, metodo_solver& m) {
    unsigned long long semente = 1;
    if (t == "tipo_ci") { // o padrão, como a coluna start o escreve: o que tipo_ci da entrada diz
        m.inicio = tipo_inicio::conforme_tipo_ci;
        m.semente = 1;
        return {};
    }
    if (t != "random" && (t.rfind("random:", 0) != 0 || !inteiro_sem_sinal(t.c_str() + 7, max_semente, semente)))
        return "must be tipo_ci, random or random:SEED, SEED 0 to 4294967295";
    m.inicio = tipo_inicio::aleatorio;
    m.semente = semente;
    return {};
}

std::string ler_eps(const std::string& t, metodo_solver& m) {
    double e = 0.0;
    if (!numero(t, e) || !(e > 0.0)) return "must be a finite number above 0";
    m.eps = e;
    return {};
}

std::string ler_coeficiente(const std::string& t, metodo_solver& m) {
    const char* formas = "must be constant, jump:C, checker:C:M, layers:C:M or random:C[:SEED], with C from 1e-8 to "
                         "1e8, M a whole number of at least 1 and SEED 0 to 4294967295";
    const std::vector<std::string> p = pedacos(t);
    coeficiente_difusao c;
    unsigned long long v = 0;
    if (p[0] == "constant" && p.size() == 1) {
        m.coeficiente = c;
        return {};
    }
    if (p[0] == "jump" && p.size() == 2) c.tipo = tipo_coeficiente::salto;
    else if (p[0] == "checker" && p.size() == 3) c.tipo = tipo_coeficiente::xadrez;
    else if (p[0] == "layers" && p.size() == 3) c.tipo = tipo_coeficiente::camadas;
    else if (p[0] == "random" && (p.size() == 2 || p.size() == 3)) c.tipo = tipo_coeficiente::aleatorio;
    else return formas;
    if (!numero(p[1], c.c) || !(c.c >= min_c && c.c <= max_c)) return formas;
    if (c.tipo == tipo_coeficiente::xadrez || c.tipo == tipo_coeficiente::camadas) {
        if (!inteiro_sem_sinal(p[2].c_str(), max_faixas, v) || v < 1) return formas;
        c.m = static_cast<int>(v);
    }
    if (c.tipo == tipo_coeficiente::aleatorio && p.size() == 3) {
        if (!inteiro_sem_sinal(p[2].c_str(), max_semente, v)) return formas;
        c.semente = v;
    }
    m.coeficiente = c;
    return {};
}

std::string ler_problema(const std::string& t, metodo_solver& m) {
    const char* formas = "must be linear, sinusoidal, sin:KX:KY (KX and KY whole numbers 1 to 1000000) or constant:F "
                         "(F a finite number)";
    const std::vector<std::string> p = pedacos(t);
    definicao_problema d;
    unsigned long long kx = 0, ky = 0;
    if (p[0] == "linear" && p.size() == 1) d.tipo = tipo_problema::linear;
    else if (p[0] == "sinusoidal" && p.size() == 1) d.tipo = tipo_problema::senoidal;
    else if (p[0] == "sin" && p.size() == 3 && inteiro_sem_sinal(p[1].c_str(), max_onda, kx) && kx >= 1 &&
             inteiro_sem_sinal(p[2].c_str(), max_onda, ky) && ky >= 1) {
        d.tipo = tipo_problema::senos;
        d.kx = static_cast<int>(kx);
        d.ky = static_cast<int>(ky);
    } else if (p[0] == "constant" && p.size() == 2 && numero(p[1], d.f)) {
        d.tipo = tipo_problema::constante;
    } else {
        return formas;
    }
    m.problema = d;
    return {};
}

std::string ler_krylov(const std::string& t, metodo_solver& m) {
    const char* formas = "must be none, cg, bicgstab, gmres or gmres:M, M a whole number 1 to 1000";
    const std::vector<std::string> p = pedacos(t);
    aceleracao_krylov k;
    unsigned long long r = 0;
    if (p.size() == 1 && p[0] == "none") k.tipo = tipo_krylov::nenhum;
    else if (p.size() == 1 && p[0] == "cg") k.tipo = tipo_krylov::cg;
    else if (p.size() == 1 && p[0] == "bicgstab") k.tipo = tipo_krylov::bicgstab;
    else if (p[0] == "gmres" && p.size() <= 2) {
        k.tipo = tipo_krylov::gmres;
        if (p.size() == 2) {
            if (!inteiro_sem_sinal(p[1].c_str(), max_reinicio_gmres, r) || r < 1) return formas;
            k.reinicio = static_cast<int>(r);
        }
    } else {
        return formas;
    }
    m.krylov = k;
    return {};
}

std::string ler_ordem_pos(const std::string& t, metodo_solver& m) {
    if (t == "same") m.ordem = ordem_pos::mesma;
    else if (t == "adjoint") m.ordem = ordem_pos::adjunta;
    else return "must be same or adjoint";
    return {};
}

// Os valores efetivos, como se digitam; vazios onde a opção não se aplica.
std::string so_multigrid(const metodo_efetivo& m, const std::string& v) { return m.multigrid ? v : std::string(); }
std::string efetivo_ciclo(const metodo_efetivo& m) { return so_multigrid(m, componente(m.ciclo).nome); }
std::string efetivo_fmg(const metodo_efetivo& m) { return so_multigrid(m, m.fmg ? "1" : "0"); }
std::string efetivo_pre(const metodo_efetivo& m) { return so_multigrid(m, std::to_string(m.pre)); }
std::string efetivo_pos(const metodo_efetivo& m) { return so_multigrid(m, std::to_string(m.pos)); }
std::string efetivo_grosso(const metodo_efetivo& m) {
    return so_multigrid(m, m.grosso_exato ? std::string("solve") : std::to_string(m.grosso));
}
std::string efetivo_suavizador(const metodo_efetivo& m) { return componente(m.suavizador).nome; }
std::string efetivo_omega(const metodo_efetivo& m) {
    return componente(m.suavizador).aceita_omega ? texto_numero(m.omega) : std::string();
}
std::string efetivo_restricao(const metodo_efetivo& m) { return so_multigrid(m, componente(m.restricao).nome); }
std::string efetivo_operador_grosso(const metodo_efetivo& m) {
    return so_multigrid(m, componente(m.operador_grosso).nome);
}
std::string efetivo_interpolacao(const metodo_efetivo& m) { return so_multigrid(m, componente(m.interpolacao).nome); }
std::string efetivo_engrossamento(const metodo_efetivo& m) {
    return so_multigrid(m, componente(m.engrossamento).nome);
}
std::string efetivo_inicio(const metodo_efetivo& m) {
    return m.inicio == tipo_inicio::aleatorio ? "random:" + std::to_string(m.semente) : std::string("tipo_ci");
}
std::string efetivo_krylov(const metodo_efetivo& m) { return texto_krylov(m.krylov); }
std::string efetivo_ordem_pos(const metodo_efetivo& m) {
    return so_multigrid(m, m.ordem == ordem_pos::adjunta ? "adjoint" : "same");
}
std::string efetivo_eps(const metodo_efetivo& m) { return texto_numero(m.eps); }
std::string efetivo_coeficiente(const metodo_efetivo& m) { return texto_coeficiente(m.coeficiente); }
std::string efetivo_problema(const metodo_efetivo& m) { return texto_problema(m.problema); }

constexpr tipo_valor_opcao palavra = tipo_valor_opcao::texto, numerico = tipo_valor_opcao::numero,
                           numero_ou_palavra = tipo_valor_opcao::numero_ou_texto;

constexpr opcao_metodo tabela[] = {
    {"cycle", "ciclo", "V|W|F", "V", "multigrid cycle (default {padrao})", ler_ciclo, efetivo_ciclo},
    {"fmg", "fmg", "", "off", "start by full multigrid (nested iteration from level 1); fmg=0 or 1 in --sweep",
     ler_fmg, efetivo_fmg, numerico},
    {"pre", "pre", "N", "nitm", "sweeps before the coarse-grid correction (default {padrao})", ler_pre, efetivo_pre,
     numerico, true},
    {"post", "pos", "N", "nitm", "sweeps after the coarse-grid correction (default {padrao})", ler_pos, efetivo_pos,
     numerico, true},
    {"coarsest", "grosso", "N|solve", "nitm", "sweeps on level 1 (default {padrao}), or solve it exactly", ler_grosso,
     efetivo_grosso, numero_ou_palavra, true},
    {"smoother", "suavizador", "NAME", "gs-lex", "{suavizadores}", ler_suavizador, efetivo_suavizador},
    {"omega", "omega", "W", "1", "relaxation factor, 0 < W < 2, for {relaxam}\n(default {omega})", ler_omega,
     efetivo_omega, numerico, true},
    {"restriction", "restricao", "NAME", "injection",
     "{restricoes} weighting (transpose: the interpolation's transpose scaled so that its weights sum to 1)",
     ler_restricao, efetivo_restricao},
    {"start", "inicio", "tipo_ci|random[:SEED]", "tipo_ci",
     "start field: the input's tipo_ci (default), or the interior uniform in [-1, 1) (SEED default 1)", ler_inicio,
     efetivo_inicio},
    {"coarse-operator", "operador_grosso", "NAME", "rediscretize",
     "coarse operators: rediscretize (default: the five-point operator with the level's own spacing) or galerkin "
     "(R A P from the next finer level, with the run's restriction and interpolation: nine-point stencils)",
     ler_operador_grosso, efetivo_operador_grosso, palavra, false, grupo_opcao::grosso},
    {"interpolation", "interpolacao", "NAME", "bilinear",
     "interpolation of the correction: bilinear (default; linear with --coarsening x|y) or operator (weights from "
     "the fine stencil, black-box multigrid)",
     ler_interpolacao, efetivo_interpolacao, palavra, false, grupo_opcao::grosso},
    {"coarsening", "engrossamento", "full|x|y", "full",
     "coarsen both directions (default), or only x or only y (semicoarsening: the finest grid and nm stay, the "
     "other direction keeps its finest size)",
     ler_engrossamento, efetivo_engrossamento, palavra, false, grupo_opcao::grosso},
    {"krylov", "krylov", "none|cg|bicgstab|gmres[:M]", "none",
     "Krylov acceleration with the cycle (all its components; nitm sweeps on one grid) as preconditioner, one "
     "application per iteration: none (default), cg (needs a symmetric cycle: jacobi or gs-sym, or gs-lex or gs-rb "
     "with --post-order adjoint; pre = post, V or W, full or transpose restriction), bicgstab (an iteration is a "
     "half step) or gmres restarted every M (default 30)",
     ler_krylov, efetivo_krylov, palavra, false, grupo_opcao::grosso},
    {"post-order", "post-order", "same|adjoint", "same",
     "order of the post-smoothing sweeps: same as the pre-smoothing (default), or adjoint (gs-lex swept backward, "
     "gs-rb black then red, level 1's even count split half and half; jacobi and gs-sym are their own adjoint): "
     "a symmetric cycle for --krylov cg",
     ler_ordem_pos, efetivo_ordem_pos, palavra, false, grupo_opcao::posterior},
    {"eps", "eps", "E", "1", "the operator is E*u_xx + u_yy on every level, E > 0 (default {padrao})", ler_eps,
     efetivo_eps, numerico, true, grupo_opcao::problema},
    {"coefficient", "coeficiente", "NAME", "constant",
     "diffusion coefficient kappa per cell, the operator div(kappa grad u): constant (default), jump:C (C in the "
     "cells of (1/4, 3/4)^2, 1 elsewhere), checker:C:M (an M x M board of 1 and C), layers:C:M (M horizontal layers "
     "of 1 and C), random:C[:SEED] (log-uniform in [1/C, C]); C from 1e-8 to 1e8",
     ler_coeficiente, efetivo_coeficiente, palavra, false, grupo_opcao::problema},
    {"problem", "problema_efetivo", "NAME", "problema",
     "the problem instead of the input's problema: linear, sinusoidal, sin:KX:KY (source with the exact solution "
     "sin(KX pi x) sin(KY pi y), zero boundary) or constant:F (source F, zero boundary, no exact solution)",
     ler_problema, efetivo_problema, palavra, false, grupo_opcao::problema},
};

} // namespace

std::span<const opcao_metodo> opcoes_do_metodo() { return tabela; }

const opcao_metodo* opcao_do_metodo(std::string_view nome) {
    for (const opcao_metodo& o : tabela)
        if (nome == o.nome) return &o;
    return nullptr;
}

std::string nome_atual_da_coluna(std::string_view coluna) {
    for (const opcao_metodo& o : tabela)
        if (coluna == o.coluna_antiga) return o.nome;
    return std::string(coluna);
}

std::string nomes_das_opcoes_do_metodo() {
    std::string s;
    for (const opcao_metodo& o : tabela) s += (s.empty() ? "" : ", ") + std::string(o.nome);
    return s;
}
