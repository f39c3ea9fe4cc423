// Acompanhamento da rodada: as linhas do monitor (saída padrão) e a linha de progresso (erro padrão, só num
// terminal), no conjunto de caracteres do terminal.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/listagem.h"

namespace {

std::string curto(double v) { return texto_simples(cientifico(v, 12, 2)); }

std::string segundos(double s) {
    char b[32];
    if (s < 60) std::snprintf(b, sizeof b, "%.1f s", s);
    else if (s < 3600) std::snprintf(b, sizeof b, "%d min %02d s", static_cast<int>(s / 60), static_cast<int>(s) % 60);
    else std::snprintf(b, sizeof b, "%d h %02d min", static_cast<int>(s / 3600), static_cast<int>(s / 60) % 60);
    return b;
}

const char* const ja_resolve = "o campo inicial já resolve as equações discretas (L1(R)o = 0): não há o que reduzir";

} // namespace

std::string linha_metodo_monitor(const estado_execucao&, const metodo_efetivo& metodo) {
    return no_terminal("método: " + componentes_metodo(metodo));
}

std::string linha_monitor(const estado_execucao& e) {
    std::string s;
    if (e.it == 1) {
        s += no_terminal(utf8(latin1("  Iteração   L1(R)i/L1(R)o  q              qmed")));
        s += no_terminal("  " + inteiro(0, 8) + cientifico(1.0, 15, 6));
    }
    const quocientes c = da_iteracao(e, e.it);
    return s + no_terminal("  " + inteiro(e.it, 8) + cientifico(c.razao, 15, 6) + cientifico(c.q, 15, 6) +
                           cientifico(c.qmed, 15, 6));
}

std::string sumario_monitor(const estado_execucao& e, const cifras_rodada& cifras) {
    const quocientes f = finais(e);
    const erro_exato& erro = cifras.erro;
    const std::string tempos = ", CPU " + texto_simples(fixo(e.tcpu, 14, 3)) + " s, relógio " +
                               texto_simples(fixo(e.tparede, 14, 3)) + " s" +
                               (cifras.solucao_exata ? ", erro máximo " + numero_terminal(erro.maximo) +
                                                           ", erro médio " + numero_terminal(erro.medio)
                                                     : std::string(", sem solução exata"));
    if (e.hist[0] == 0.0 && e.veredito_final == veredito::convergiu)
        return no_terminal(std::string(ja_resolve) + "; " + std::to_string(e.niter) + " iterações feitas" + tempos) +
               linhas_cifras_monitor(e, cifras) + linha_threads(e);
    return no_terminal(cabeca_do_veredito(e, cifras) + ": L1(R)i/L1(R)o = " + numero_terminal(f.razao) +
                       ", qmed = " + numero_terminal(f.qmed) + tempos) +
           linhas_cifras_monitor(e, cifras) + linha_threads(e);
}

std::string linha_threads(const estado_execucao& e) {
    std::string s = "threads: " + std::to_string(e.threads_pedidas) + " pedidas, " + std::to_string(e.threads) +
                    " usadas";
    if (e.threads < std::min(e.threads_pedidas, e.processadores))
        s += " (o sistema não deixou criar as demais; os resultados são os mesmos)";
    else if (e.threads < e.threads_pedidas)
        s += " (" + std::to_string(e.processadores) +
             (e.processadores == 1 ? " processador disponível)" : " processadores disponíveis)");
    return no_terminal(s);
}

// Tempo que falta: o fator das últimas (até cinco) iterações, projetado até tolt, nunca além de itmax.
std::string texto_progresso(const estado_execucao& e, double decorrido) {
    const long long it = e.it;
    std::string s = "iteração " + std::to_string(it) + ", " + segundos(decorrido);
    if (e.hist[0] == 0.0) return s + ": " + ja_resolve;
    const double r = e.hist[it] / e.hist[0];
    s += ": L1(R)i/L1(R)o = " + curto(r) + " (tolt " + curto(e.tolt) + ")";
    const long long m = it < 5 ? it : 5;
    const double q = std::pow(e.hist[it] / e.hist[it - m], 1.0 / static_cast<double>(m));
    if (!(q > 0.0 && q < 1.0) || !(e.tolt > 0.0) || !(r > e.tolt)) return s;
    double restam = std::ceil(std::log(e.tolt / r) / std::log(q));
    const double limite = static_cast<double>(e.itmax - it);
    if (restam > limite) restam = limite;
    return s + ", faltam ~" + segundos(restam * decorrido / static_cast<double>(it));
}

std::string aviso_fator_lento(int nx1, int ny1, double segundos_estimados, double operacoes) {
    char ops[32];
    std::snprintf(ops, sizeof ops, "%.1e", operacoes);
    return "warning: --coarsest solve: the band Cholesky factor of level 1 (" + std::to_string(nx1) + " x " +
           std::to_string(ny1) + " points) takes about " + segundos(segundos_estimados) +
           " before the first cycle (" + ops + " multiply-adds; the cost grows as the fourth power of the points per "
           "direction); --coarsest N (N sweeps on level 1) or a coarser level 1 with more levels (nm) costs far less";
}

std::string texto_progresso_fator(double fracao, double decorrido) {
    std::string s = "fator do nível 1: " + std::to_string(static_cast<int>(100.0 * fracao)) + "%, " + segundos(decorrido);
    if (fracao > 0.01) s += ", faltam ~" + segundos(decorrido * (1.0 - fracao) / fracao);
    return s;
}

progresso::progresso() : ativo_(erro_padrao_e_terminal()), inicio_(tempo_parede()) {}

progresso::~progresso() { terminar(); }

void progresso::terminar() {
    if (ativo_ && desenhou_) std::fputs("\r\033[K", stderr);
    ativo_ = false;
}

void progresso::iteracao(const estado_execucao& e) {
    if (!ativo_) return;
    const double agora = tempo_parede();
    if (agora - inicio_ < 0.3 || agora - ultimo_ < 0.1) return;
    desenhar(texto_progresso(e, agora - inicio_), agora);
}

void progresso::fator(double fracao) {
    if (!ativo_) return;
    const double agora = tempo_parede();
    if (agora - inicio_ < 0.3 || agora - ultimo_ < 0.1) return;
    desenhar(texto_progresso_fator(fracao, agora - inicio_), agora);
}

// Nada nas rodadas curtas; depois, no máximo dez desenhos por segundo.
void progresso::desenhar(const std::string& texto, double agora) {
    ultimo_ = agora;
    desenhou_ = true;
    const std::string t = para_terminal(texto, conjunto_do_terminal());
    std::fprintf(stderr, "\r\033[K%s", t.c_str());
    std::fflush(stderr);
}
