// Tabelas da análise na saída padrão: a da análise de Fourier local (--lfa) e a do tempo por nível e fase (--timing).
#include <cmath>
#include <cstdio>

#include "report/listagem.h"
#include "state/componentes.h"

namespace {

// Texto à esquerda numa coluna de w caracteres (ao menos um branco depois).
std::string esquerda(const std::string& s, std::size_t w) {
    return s.size() + 1 >= w ? s + " " : s + std::string(w - s.size(), ' ');
}

std::string direita(const std::string& s, std::size_t w) { return s.size() >= w ? s : std::string(w - s.size(), ' ') + s; }

// Uma contagem numa coluna de w caracteres, com ao menos um branco antes (--pre 1000000 não cola na vizinha).
std::string contagem(int n, std::size_t w) { return direita(" " + std::to_string(n), w); }

// A pós-suavização da rodada é a adjunta da pré, e difere dela (gs-lex, gs-rb com --post-order adjoint).
bool pos_adjunta(const metodo_efetivo& m) {
    return m.ordem == ordem_pos::adjunta &&
           (m.suavizador == tipo_suavizador::gs_lex || m.suavizador == tipo_suavizador::gs_rb);
}

struct coluna_fase {
    fase_tempo fase;
    const char* titulo;
};

constexpr coluna_fase colunas[] = {
    {fase_tempo::suavizacao, "suavização"},         {fase_tempo::restricao, "restrição"},
    {fase_tempo::prolongacao, "interpolação"},      {fase_tempo::norma, "norma"},
    {fase_tempo::grosso, "nível 1"},                {fase_tempo::suavizacao_restricao, "suav.+restr.*"},
    {fase_tempo::prolongacao_suavizacao, "interp.+suav.*"}, {fase_tempo::suavizacao_norma, "suav.+norma*"},
    {fase_tempo::operador, "operador"}};

std::string direita_utf8(const std::string& s, std::size_t w) {
    const std::size_t n = largura(s);
    return n >= w ? s : std::string(w - n, ' ') + s;
}

std::string ms(double s) { return cifra(1000.0 * s, 3); }

} // namespace

std::string texto_lfa(const estado_execucao& e, const metodo_efetivo& metodo, const std::vector<linha_lfa>& linhas) {
    const int nx = e.nxg[e.nm], ny = e.nyg[e.nm];
    const double ae_an =
        metodo.eps * ((static_cast<double>(nx - 1) / (ny - 1)) * (static_cast<double>(nx - 1) / (ny - 1)));
    const bool mg = e.nm >= 2;
    std::string s = no_terminal("análise de Fourier local (LFA) de " + utf8(sem_brancos_finais(e.caso)) + ": nível mais fino " +
                                std::to_string(nx) + " x " + std::to_string(ny) + " pontos, ae/an = " + razao_de_coeficientes(ae_an));
    s += no_terminal("método: " + componentes_metodo(metodo));
    if (metodo.operador_variavel)
        return s + no_terminal(std::string("a LFA ") + lfa_nao_se_aplica + "; o fator medido vem de uma rodada (--monitor).");
    s += no_terminal(mg ? "  nu1  nu2  mu      mu_nu   mu_nu^nu  rho" : "  nu        mu      mu_nu   mu_nu^nu  rho");
    for (const linha_lfa& l : linhas) {
        const int nu = l.nu1 + l.nu2;
        const std::string contagens = mg ? contagem(l.nu1, 5) + contagem(l.nu2, 5) : contagem(nu, 4) + std::string(6, ' ');
        const std::string rho = l.da_rodada ? esquerda(cifra(l.rho, 4), 8) + "<- esta rodada" : cifra(l.rho, 4);
        s += no_terminal(contagens + "  " + esquerda(cifra(l.mu, 4), 8) + esquerda(cifra(l.mu_nu, 4), 8) +
                         esquerda(cifra(std::pow(l.mu_nu, nu), 4), 10) + rho);
    }
    s += no_terminal("mu: fator de suavização de uma varredura (o pior fator das frequências altas); mu_nu: o mesmo por "
                     "varredura em nu = nu1 + nu2 varreduras, e mu_nu^nu o que a suavização sozinha daria por ciclo; "
                     "rho: fator de convergência de dois níveis, S^nu2 K S^nu1.");
    // a correção grossa da rodada: a de sempre, ou a robusta com os seus símbolos (doc/metodo.md, 12)
    std::string grossa = "operador grosso rediscretizado, interpolação bilinear";
    if (!metodo.transferencias_padrao) {
        const bool semi = metodo.engrossamento != tipo_engrossamento::completo;
        grossa = std::string("operador grosso ") +
                 (metodo.operador_grosso == tipo_operador_grosso::galerkin ? "de Galerkin (R A P, o símbolo do estêncil de nove pontos)"
                                                                         : "rediscretizado") +
                 ", interpolação " +
                 (metodo.interpolacao == tipo_interpolacao::operador ? "dependente do operador (pesos constantes)"
                  : semi                                              ? "linear"
                                                                      : "bilinear") +
                 (semi ? std::string(", semiengrossamento em ") + componente(metodo.engrossamento).nome +
                             " (dois harmônicos acoplados em vez de quatro)"
                       : std::string());
    }
    s += no_terminal("hipóteses: dois níveis (o nível grosso resolvido exatamente; o ciclo, --fmg e --coarsest não entram), "
                     "grade infinita (sem o efeito dos contornos), " + grossa +
                     ", o suavizador, omega e a restrição da rodada, os coeficientes (ae, an) do nível mais fino.");
    if (mg && pos_adjunta(metodo))
        s += no_terminal("pós-suavização adjunta (--post-order adjoint): S^nu2 é a varredura adjunta da de S^nu1 (" +
                         std::string(metodo.suavizador == tipo_suavizador::gs_lex ? "gs-lex para trás"
                                                                                  : "pretos, depois vermelhos") +
                         "), também em mu_nu e na LFA de k níveis.");
    if (!mg)
        s += no_terminal("com nm = 1 não há correção grossa: só mu e mu_nu se aplicam (nu = nitm varreduras por iteração); "
                         "o fator de uma malha só é o dos modos suaves, que a LFA não prevê.");
    return s;
}

std::string texto_lfa_k(const estado_execucao& e, const metodo_efetivo& metodo, const std::vector<linha_lfa_k>& linhas) {
    if (!metodo.multigrid) return {};
    if (!linhas.empty() && !linhas.front().porque.empty() && metodo.operador_variavel)
        return no_terminal("LFA de k níveis do ciclo da rodada: não se aplica (" + linhas.front().porque + ").");
    const std::string ciclo = std::string(componente(metodo.ciclo).nome) + "(" + std::to_string(metodo.pre) + "," +
                              std::to_string(metodo.pos) + ")";
    std::string s = no_terminal("LFA de k níveis do ciclo da rodada, " + ciclo + " (nm = " + std::to_string(e.nm) + "):");
    s += no_terminal("    k  harmônicos  nível mais grosso    rho");
    for (const linha_lfa_k& l : linhas) {
        const std::string grosso = l.niveis > e.nm ? "-"
                                   : l.grosso < 0  ? "resolvido"
                                                   : std::to_string(l.grosso) + (l.grosso == 1 ? " varredura" : " varreduras");
        std::string linha = contagem(l.niveis, 5) + contagem(1 << (2 * (l.niveis - 1)), 12) + "  " + esquerda(grosso, 21);
        linha += l.porque.empty() ? cifra(l.rho, 4) : "-  (" + l.porque + ")";
        s += no_terminal(linha);
    }
    s += no_terminal("o símbolo de k níveis: em cada nível o ciclo do nível abaixo (V uma vez, W duas, F um F e um V) dentro "
                     "da correção grossa, S^nu2 (I - P (I - C) L_H^-1 R L) S^nu1; o nível mais grosso da análise resolvido "
                     "quando k < nm, tratado como a rodada trata o nível 1 quando k = nm; k = 2 com ele resolvido é o rho acima.");
    return s;
}

std::string texto_tempos(const estado_execucao& e, const tempos_fases& t) {
    std::vector<coluna_fase> usadas;
    for (const coluna_fase& c : colunas) {
        long long n = 0;
        for (const auto& nivel : t.chamadas) n += nivel[static_cast<std::size_t>(c.fase)];
        if (n > 0) usadas.push_back(c);
    }
    const std::size_t w = 15;
    std::string cab = "  nível  pontos       ";
    for (const coluna_fase& c : usadas) cab += direita_utf8(c.titulo, w);
    cab += direita_utf8("total", w);
    const char* unidade = e.nm >= 2 ? (e.niter == 1 ? " ciclo)" : " ciclos)") : (e.niter == 1 ? " iteração)" : " iterações)");
    std::string s = no_terminal("tempo de relógio por nível e fase, ms (" + std::to_string(e.niter) + unidade);
    s += no_terminal(cab);
    std::vector<double> soma(usadas.size(), 0.0);
    double total = 0.0;
    for (std::size_t k = t.por_nivel.size(); k-- > 1;) {
        const int nk = static_cast<int>(k);
        const std::string pontos = k < e.nxg.size() ? std::to_string(e.nxg[nk]) + " x " + std::to_string(e.nyg[nk]) : "";
        std::string linha = "  " + direita(std::to_string(k), 5) + "  " + esquerda(pontos, 13);
        double nivel = 0.0;
        for (std::size_t c = 0; c < usadas.size(); ++c) {
            const auto f = static_cast<std::size_t>(usadas[c].fase);
            const double v = t.por_nivel[k][f];
            linha += direita(t.chamadas[k][f] > 0 ? ms(v) : "-", w);
            soma[c] += v;
            nivel += v;
        }
        total += nivel;
        s += no_terminal(linha + direita(ms(nivel), w));
    }
    std::string linha = "  soma" + std::string(16, ' ');
    for (double v : soma) linha += direita(ms(v), w);
    s += no_terminal(linha + direita(ms(total), w));
    std::string fundidas;
    for (const coluna_fase& c : usadas) {
        if (c.fase == fase_tempo::suavizacao_restricao) fundidas += "; suav.+restr. = pré-suavização e restrição";
        if (c.fase == fase_tempo::prolongacao_suavizacao)
            fundidas += "; interp.+suav. = interpolação e pós-suavização, com a norma no nível mais fino";
        if (c.fase == fase_tempo::suavizacao_norma) fundidas += "; suav.+norma = as nitm varreduras e a norma";
    }
    if (!fundidas.empty())
        s += no_terminal("* fases fundidas numa só passada rápida pela malha, que não se divide" + fundidas);
    s += no_terminal("fora das fases (campo inicial, norma inicial, correções zeradas, avisos por iteração): " +
                     ms(e.tparede - total) + " ms de " + ms(e.tparede) + " ms da solução");
    // a memória que a fase operador montou (coeficientes por ponto, operadores de Galerkin, pesos da interpolação)
    const double bytes = static_cast<double>(e.pesos.size() + e.kappa.size()) * sizeof(double);
    if (bytes > 0.0) {
        char mib[32];
        std::snprintf(mib, sizeof mib, "%.3f", bytes / 1048576.0);
        s += no_terminal("operador: " + std::string(mib) + " MiB montados uma vez (coeficientes por ponto, operadores "
                         "de Galerkin e pesos da interpolação por ponto, kappa)");
    }
    return s;
}
