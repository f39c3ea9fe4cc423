// Memória planejada antes de ser tomada: no Linux uma alocação grande pode dar certo e o processo
// morrer depois, ao tocar as páginas; melhor recusar a rodada com os números na mão.
#include <algorithm>
#include <cstdio>

#include "platform/plataforma.h"
#include "state/erro_fatal.h"
#include "run/execucao.h"
#include "solver/solver.h"

namespace {

std::string legivel(long double b) {
    const char* unidades[] = {"B", "KiB", "MiB", "GiB", "TiB", "PiB"};
    int u = 0;
    while (b >= 1024 && u < 5) b /= 1024, ++u;
    char s[32];
    std::snprintf(s, sizeof s, u == 0 ? "%.0Lf %s" : "%.1Lf %s", b, unidades[u]);
    return s;
}

} // namespace

necessidade_memoria memoria_necessaria(const estado_execucao& entrada, const opcoes_execucao& o,
                                      const metodo_efetivo& metodo) {
    // os níveis grossos do engrossamento do método (doc/metodo.md, 12.1): os da entrada com o completo
    estado_execucao semi;
    const bool outro = metodo.multigrid && metodo.engrossamento != tipo_engrossamento::completo;
    if (outro) {
        semi.nm = entrada.nm;
        semi.nxg = entrada.nxg;
        semi.nyg = entrada.nyg;
        semi.nxyg = entrada.nxyg;
        derivar_niveis_grossos(semi, metodo.engrossamento);
    }
    const estado_execucao& e = outro ? semi : entrada;
    necessidade_memoria m;
    const long long d = static_cast<long long>(sizeof(double));
    m.hist = d * (std::clamp(e.itmax, 0, hist_inicial - 1) + 1LL);
    m.T = d * (static_cast<long long>(e.nxyg[e.nm]) + 1);
    if (e.nm > 1) {
        const long long grossos = static_cast<long long>(e.nxyt) - e.nxyg[e.nm];
        m.cor = m.res = d * ((grossos < 0 ? 0 : grossos) + 1);
        if (metodo.grosso_exato)
            m.fator = bytes_fator_banda(e.nxg[1], e.nyg[1], formas_do_metodo(e, metodo).operador[1]);
    }
    // o operador variável (coeficientes de aresta de todos os níveis, kappa e a média dele nos níveis grossos), os
    // operadores de Galerkin por ponto, os pesos da interpolação pelo operador e o termo fonte do nível mais fino
    m.operador = d * doubles_do_operador(e, metodo);
    if (metodo.fonte) m.fonte = d * (static_cast<long long>(e.nxyg[e.nm]) + 1);
    // parcelas da norma (nove linhas do nível mais fino) e o rascunho do método
    const rascunho_metodo r = rascunho_necessario(e, metodo);
    m.rascunho = d * (9LL * e.nxg[e.nm] + r.suavizador + r.restricao);
    // os vetores do método de Krylov, cada um do tamanho de T, e um passageiro (o resíduo inicial): cg 4, bicgstab
    // 6, gmres:M 2M+2
    const int vetores_krylov[] = {0, 5, 7, 2 * metodo.krylov.reinicio + 3};
    m.rascunho += vetores_krylov[static_cast<int>(metodo.krylov.tipo)] * m.T;
    // cada arquivo de saída junta até 64 KiB antes de escrever; mais a mensagem do gnuplot
    const int arquivos = 1 + !o.csv.empty() + !o.json.empty() + !o.resumo.empty() + (o.grafico.empty() ? 0 : 9) +
                         (o.campo.empty() ? 0 : 2 + o.csv_erros);
    // e a amostra do campo e do erro para os gráficos (lado_da_amostra² pontos, cinco números cada)
    // (e o mapa de kappa: três números por célula)
    // o documento de --json monta o histórico em texto, umas vinte vezes os bytes de hist
    // as normas L2 e máxima e a estimativa de Krylov de cada iteração (--csv, --json), e no texto do JSON
    const bool normas = !o.csv.empty() || !o.json.empty();
    m.saidas = arquivos * (128LL << 10) + (o.json.empty() ? 0 : 84 * m.hist) + (normas ? 3 * m.hist : 0) +
               (o.grafico.empty() ? 0
                                  : (64LL << 10) + 5 * d * lado_da_amostra * lado_da_amostra +
                                        3 * d * celulas_do_mapa * celulas_do_mapa);
    // o campo do erro de --save-field com --csv-errors; o reinício lido (os bytes do arquivo e os valores)
    const long long campo = d * (static_cast<long long>(e.nxyg[e.nm]) + 1);
    if (!o.campo.empty() && o.csv_erros) m.saidas += campo;
    if (e.tipo_ci == 2) m.saidas += 2 * campo;
    m.pilha = pilha_de_thread();
    return m;
}

int planejar_memoria(const estado_execucao& e, const opcoes_execucao& o, const metodo_efetivo& metodo, int threads) {
    const necessidade_memoria m = memoria_necessaria(e, o, metodo);
    const long long total = m.T + m.cor + m.res + m.hist + m.rascunho + m.fator + m.operador + m.fonte + m.saidas;
    const long long livre = memoria_disponivel();
    if (livre < 0) return threads;
    if (total > livre) {
        std::string partes = "T " + legivel(m.T);
        if (m.cor) partes += ", cor " + legivel(m.cor) + ", res " + legivel(m.res);
        partes += ", hist " + legivel(m.hist) + ", work rows " + legivel(m.rascunho);
        if (m.fator) partes += ", band factor of level 1 " + legivel(m.fator);
        if (m.operador) partes += ", operators and interpolation weights " + legivel(m.operador);
        if (m.fonte) partes += ", source term " + legivel(m.fonte);
        partes += ", output buffers " + legivel(m.saidas);
        throw erro_fatal("not enough memory for this run: it needs " + std::to_string(total) + " bytes (" +
                         legivel(total) + ": " + partes + ") but only " + std::to_string(livre) + " bytes (" +
                         legivel(livre) + ") are available");
    }
    // threads a mais só enquanto suas pilhas couberem no que sobra
    const long long cabem = m.pilha > 0 ? 1 + (livre - total) / m.pilha : threads;
    return static_cast<int>(std::clamp<long long>(cabem, 1, threads));
}
