// O veredito nos relatórios: a cabeça do sumário do monitor, a linha da listagem de um método não clássico, a
// mensagem de uma rodada que divergiu e o aviso, antes da solução, de que a LFA não prevê convergência.
#include <cmath>
#include <cstdio>

#include "report/listagem.h"

namespace {

std::string iteracoes(long long n) { return std::to_string(n) + (n == 1 ? " iteração" : " iterações"); }

std::string quatro(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.4f", v);
    return b;
}

bool norma_finita(const estado_execucao& e) { return std::isfinite(e.hist[static_cast<std::size_t>(e.niter)]); }

} // namespace

std::string cabeca_do_veredito(const estado_execucao& e, const cifras_rodada& c) {
    const std::string n = iteracoes(e.niter);
    switch (e.veredito_final) {
    case veredito::convergiu: return "convergiu em " + n;
    case veredito::parou: return "parou em " + n + " (itmax, ainda convergindo)";
    case veredito::estagnou:
        return "estagnou em " + n + " (itmax; fator assintótico ajustado " + quatro(c.q_assintotico) +
               " >= " + quatro(fator_de_estagnacao) + ")";
    case veredito::divergiu:
        if (!e.ruptura.empty()) return "divergiu em " + n + " (ruptura do método de Krylov, " + e.ruptura + ")";
        return "divergiu em " + n + (norma_finita(e) ? " (L1(R)i/L1(R)o passou de 1e6; a solução parou ali)"
                                                     : " (a norma L1(R) deixou de ser finita; a solução parou ali)");
    }
    return n;
}

void escrever_veredito(const estado_execucao& e, const metodo_efetivo& m, saida_texto& saida) {
    if (m.classico) return;
    std::string v = nome_do_veredito(e.veredito_final);
    v.resize(15, ' ');
    saida.linha("");
    saida.linha(v + "   = veredito: " + nomes_dos_vereditos());
}

std::string mensagem_divergencia(const estado_execucao& e) {
    const std::string onde = "at iteration " + std::to_string(e.niter);
    if (!e.ruptura.empty())
        return "the solve diverged: the Krylov method broke down " + onde + " (" + e.ruptura +
               "), so it stopped there; the outputs are written (verdict: divergiu)";
    const std::string o_que = norma_finita(e)
        ? "L1(R)i/L1(R)o = " + texto_simples(cientifico(e.hist[static_cast<std::size_t>(e.niter)] / e.hist[0], 15, 6)) +
              " " + onde + " is above 1e6"
        : "the residual norm is no longer a finite number " + onde;
    return "the solve diverged: " + o_que + ", so it stopped there; the outputs are written (verdict: divergiu)";
}

std::string aviso_sem_convergencia(const metodo_efetivo& m, const previsao_lfa& p) {
    std::string porque;
    switch (p.causa) {
    case causa_divergencia::nenhuma: return {};
    case causa_divergencia::sem_suavizacao:
        porque = "with no smoothing sweep before or after the coarse-grid correction nothing reduces the "
                 "high-frequency error";
        break;
    case causa_divergencia::suavizador:
        porque = std::string("the smoother ") + componente(m.suavizador).nome +
                 " does not reduce the high-frequency error (smoothing factor mu = " + cifra(p.mu, 4) + ")";
        break;
    case causa_divergencia::vermelho_preto_injecao:
        porque = "after a red-black sweep the residual is zero on the black points and lives on the red ones, which "
                 "include every point that injection samples, so injection passes down about twice the mean residual "
                 "and the correction overshoots; --restriction half or full cures it";
        break;
    case causa_divergencia::correcao_grossa:
        porque = std::string("the coarse-grid correction with ") + componente(m.restricao).nome +
                 " restriction amplifies some error mode";
        break;
    }
    // com --krylov o ciclo é o precondicionador: um fator >= 1 não impede o método de Krylov de convergir
    const std::string krylov = m.krylov.tipo == tipo_krylov::nenhum
                                   ? std::string()
                                   : " (as a plain iteration: as the preconditioner of --krylov " +
                                         texto_krylov(m.krylov) + " the cycle may still lead to convergence)";
    return "warning: the method is not expected to converge: its two-grid factor from local Fourier analysis is rho = " +
           cifra(p.rho, 4) + " (1 or more): " + porque + krylov;
}
