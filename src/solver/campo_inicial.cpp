// Campo inicial de T: nulo, a solução exata do problema, o reinício ou o início aleatório, com os contornos e hist(0).
#include <algorithm>

#include "solver/solver.h"

// Com T criado e o nível mais fino corrente. tipo_ci = 2 parte do campo do reinício, quando dado; para os outros
// valores fora de 0 e 1 o interior fica como criado (zero). O início aleatório substitui o de tipo_ci.
void preparar_campo_inicial(estado_execucao& e, const metodo_efetivo& m, std::span<const double> reinicio) {
    if (m.inicio == tipo_inicio::aleatorio) {
        campo_aleatorio(e, m.semente);
    } else {
        if (e.tipo_ci == 0)
            for (double& v : e.T) v = 0.0;
        if (e.tipo_ci == 1) solucao_analitica(e, m);
        if (e.tipo_ci == 2 && reinicio.size() == static_cast<std::size_t>(e.nxyk))
            std::copy(reinicio.begin(), reinicio.end(), e.T.begin() + 1);
    }
    contornos(e, m.problema);
    coeficientes(e);
    norma_l1(e);
    e.hist[0] = e.rnorm;
}
